// The platform layer's Windows side, run under wine64: UTF-8 and UTF-16 convert
// both ways, and the plain file functions reach names beyond ASCII and paths
// beyond the system's old 260-character limit, with a move that replaces.
// (wine holds no path to that limit, so here the deep folder shows that the
// long form the calls are given resolves right, not that Windows needs it.)
//
//   platform_layer_test
#include <windows.h>

#include <cstdio>
#include <string>

#include "sdk/file.h"
#include "sdk/utf16_win32.h"

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "FAIL: %s\n", what.c_str());
        ++failures;
    }
}

bool write_file(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(long_path(path.c_str()).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::string read_file(const std::string& path) {
    HANDLE file = CreateFileW(long_path(path.c_str()).c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    char buffer[256];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(file);
    return std::string(buffer, got);
}

void conversions() {
    struct row {
        const char* utf8;
        std::wstring utf16;
    };
    const row rows[] = {
        {"", L""},
        {"a.flac", L"a.flac"},
        {"\xC3\xBC", std::wstring(1, wchar_t(0x00FC))},                        // u with diaeresis
        {"\xE2\x99\xAA", std::wstring(1, wchar_t(0x266A))},                    // eighth note
        {"\xF0\x9F\x8E\xB5", std::wstring{wchar_t(0xD83C), wchar_t(0xDFB5)}},  // beyond the BMP
    };
    for (const row& r : rows) {
        check(utf8_to_wide(r.utf8) == r.utf16, std::string("to UTF-16: ") + r.utf8);
        check(wide_to_utf8(r.utf16) == r.utf8, std::string("to UTF-8: ") + r.utf8);
    }
}

void files_in(const std::string& directory) {
    const std::string a = directory +
                          "\\\xC3\xBCn\xC3\xAF c\xC3\xB6"
                          "d\xC3\xA9 \xE2\x99\xAA.txt";
    const std::string b = directory + "/b.txt";  // a forward slash, as a user may type it
    check(write_file(a, "new") && write_file(b, "old"), "files created in " + directory);
    check(uFindFirstFile(a.c_str()), "the file is found: " + a);
    check(uMoveFile(a.c_str(), b.c_str()), "the move onto an existing file succeeds");
    check(!uFindFirstFile(a.c_str()), "the moved file is gone from its old name");
    check(read_file(b) == "new", "the move replaced the target's content");
    check(uDeleteFile(b.c_str()), "the file is deleted");
    check(!uFindFirstFile(b.c_str()), "the deleted file is not found");
    check(!uDeleteFile(b.c_str()), "deleting a missing file fails");
}

}  // namespace

int main() {
    conversions();

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::string base = wide_to_utf8(temp) + "tagshelf-platform-" +
                             std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount64());
    check(CreateDirectoryW(long_path(base.c_str()).c_str(), nullptr) != FALSE,
          "temporary folder " + base);
    files_in(base);

    // Folders nested until the path is well past 260 characters.
    std::string deep = base;
    while (deep.size() < 300) {
        deep += "\\a folder with a long name";
        CreateDirectoryW(long_path(deep.c_str()).c_str(), nullptr);
    }
    check(uFindFirstFile(deep.c_str()), "a folder past 260 characters is found");
    files_in(deep);

    // Relative: resolved against the current folder.
    SetCurrentDirectoryW(long_path(base.c_str()).c_str());
    check(write_file("relative.txt", "x") && uFindFirstFile("./relative.txt") &&
              uDeleteFile("relative.txt"),
          "a relative path reaches the current folder");

    while (deep.size() > base.size()) {
        RemoveDirectoryW(long_path(deep.c_str()).c_str());
        deep.resize(deep.rfind('\\'));
    }
    SetCurrentDirectoryW(temp);
    RemoveDirectoryW(long_path(base.c_str()).c_str());
    std::printf("%s\n", failures == 0 ? "all passed" : "failed");
    return failures == 0 ? 0 : 1;
}
