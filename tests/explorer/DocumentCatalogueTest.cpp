#include "SearchTestSupport.h"

#include "driver/Driver.h"
#include "driver/SearchTree.h"
#include "explorer/DocumentType.h"

#include <gtest/gtest.h>

using driver::SearchTree;
using namespace explorer_tests;

TEST(DocumentCatalogue, FileFolderFirstThenEachRegisteredDescriptionOnce)
{
    SearchTree tree("explorer-catalogue", driver::ProgramFolder() + "\\echo_args.exe");
    ASSERT_TRUE(tree.IsReady());
    // An extension naming a class with an empty description, and one naming
    // no class at all, add nothing.
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, ".ltxempty", "", "LintelEmptyDoc"));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, "LintelEmptyDoc", "", ""));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, ".ltxnone", "", "LintelNoClass"));

    const std::vector<CDocumentType> catalogue = BuildDocumentCatalogue("File Folder");

    driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, ".ltxempty");
    driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, "LintelEmptyDoc");
    driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, ".ltxnone");

    ASSERT_FALSE(catalogue.empty());
    EXPECT_STREQ(catalogue.front().description.c_str(), "File Folder");
    int ours = 0;
    for (size_t i = 0; i < catalogue.size(); ++i) {
        SCOPED_TRACE(catalogue[i].description.c_str());
        EXPECT_FALSE(catalogue[i].description.IsEmpty());
        EXPECT_EQ(catalogue[i].checked, 0);
        if (catalogue[i].description == SearchTree::kDocumentDescription)
            ++ours;
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(Lower(catalogue[i].description.c_str()), Lower(catalogue[j].description.c_str()));
    }
    // Two extensions of the one class.
    EXPECT_EQ(ours, 1);
}
