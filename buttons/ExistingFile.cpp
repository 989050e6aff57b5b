#include "ExistingFile.h"

BOOL IsFullPath(const char* path)
{
    if (!path)
        return FALSE;
    const auto isSlash = [](char c) { return c == '\\' || c == '/'; };
    const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':'
                       && isSlash(path[2]);
    const bool share = isSlash(path[0]) && isSlash(path[1]) && path[2] != '\0';
    return drive || share;
}

BOOL IsExistingFile(const char* path)
{
    if (!IsFullPath(path))
        return FALSE;
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
