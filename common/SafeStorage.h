// Compound files that come from outside the program (toolbar files, the
// wizard's data file, stored buttons handed over by data objects) opened
// without trusting them.
//
// A compound file whose directory links are broken can make the structured
// storage spin for ever inside a call: looking an element up by name follows
// the directory's sibling links, and a cycle, or a link to an entry it cannot
// read, never ends that walk.  Two guards stand between such a file and the
// user-interface thread:
//  - the container check: the file is read into memory and its header,
//    allocation tables, sector chains and directory tree are checked (every
//    link in range, no entry reached twice, every chain ends inside the file)
//    before any structured-storage call sees it;
//  - the deadline: the checked image is then opened and every element it
//    lists is opened once on a worker thread; when that walk does not end in
//    time the file counts as unreadable and the caller goes on.  The worker
//    reads through our own lock-bytes object, which parks it for good at its
//    next read once the deadline has passed, so a walk that could not end
//    holds no lock and burns no processor time.
// The check alone catches every damage that is known to hang; the deadline
// catches what the check may not know about.
#pragma once

#include <objbase.h>

#include <cstddef>
#include <string>
#include <vector>

// How long one file's structured-storage calls may take before the file
// counts as unreadable.  Reading a full toolbar takes a small fraction of it.
constexpr DWORD kStorageDeadline = 4000;
// Toolbar files hold at most 256 buttons with their icons, far below this;
// anything bigger is not read into memory at all.
constexpr size_t kMaxCompoundFileSize = 64u * 1024 * 1024;

// Whether a compound-file image is sound enough to hand to the structured
// storage: header, allocation tables, chains and directory tree.
bool CompoundImageIsSound(const void* bytes, size_t size);

// Opens a compound file for reading: read into memory, checked, and walked
// within the deadline.  Failures: STG_E_FILENOTFOUND and the like for the
// file itself, STG_E_MEDIUMFULL for a file too big to hold,
// STG_E_DOCFILECORRUPT for a container that fails the check,
// HRESULT_FROM_WIN32(ERROR_TIMEOUT) for one whose walk did not end in time.
HRESULT OpenCompoundFile(const char* path, IStorage** storage, DWORD deadline = kStorageDeadline);
HRESULT OpenCompoundFileW(const wchar_t* path, IStorage** storage, DWORD deadline = kStorageDeadline);
// The same for an image already in memory.
HRESULT OpenCompoundImage(std::vector<BYTE> image, IStorage** storage, DWORD deadline = kStorageDeadline);

// A storage handed over by someone else (a data object) copied, within the
// deadline, into a storage of our own in memory whose image passes the check.
HRESULT CopyForeignStorage(IStorage* source, IStorage** copy, DWORD deadline = kStorageDeadline);

// The elements a storage lists, as the structured storage enumerates them.
struct StorageElement {
    std::wstring name;
    DWORD type = 0;   // STGTY_STORAGE or STGTY_STREAM
};
bool ListStorageElements(IStorage* storage, std::vector<StorageElement>& elements);
bool HasElement(const std::vector<StorageElement>& elements, const wchar_t* name, DWORD type);
