// The plain file functions on Windows: UTF-8 paths go to the wide calls in the
// long-path form, so that neither the characters nor the length of a path limit
// what the component can reach.
#include "sdk/file.h"

#include <windows.h>

#include "sdk/utf16_win32.h"

bool uFindFirstFile(const char* path) {
    return GetFileAttributesW(long_path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Replaces an existing `to`, as rename does on POSIX, and returns only once the
// move is on the disk: a file written to a temporary name and moved over the old
// one must still be there after a power cut.
bool uMoveFile(const char* from, const char* to) {
    return MoveFileExW(long_path(from).c_str(), long_path(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool uDeleteFile(const char* path) {
    return DeleteFileW(long_path(path).c_str()) != FALSE;
}
