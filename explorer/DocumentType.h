// CDocumentType: one entry of the document-type catalogue the File Types
// dialog offers: a type description and whether the user checked it.  The
// catalogue is built once per window and keeps its checks between uses of the
// dialog.
#pragma once

#include "../common/Text.h"

#include <vector>

struct CDocumentType
{
    CText description;
    int checked = 0;
};

// "File Folder" (firstEntry), then every distinct non-empty description of
// the classes the extensions under HKEY_CLASSES_ROOT name, in key order.
// Keys that cannot be read are skipped silently.
std::vector<CDocumentType> BuildDocumentCatalogue(const CText& firstEntry);
