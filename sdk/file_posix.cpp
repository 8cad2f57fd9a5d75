// The plain file functions on POSIX systems.
#include "sdk/file.h"

#include <sys/stat.h>

#include <cstdio>

bool uFindFirstFile(const char* path) {
    struct stat info;
    return ::stat(path, &info) == 0;
}
bool uMoveFile(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}
bool uDeleteFile(const char* path) {
    return std::remove(path) == 0;
}
