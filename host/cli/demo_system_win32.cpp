#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "host/cli/command_line_win32.h"
#include "host/cli/demo_system.h"
#include "sdk/utf16_win32.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::wstring own_program() {
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, exe.data(), DWORD(exe.size()));
        if (length == 0)
            return std::wstring();
        if (length < exe.size()) {
            exe.resize(length);
            return exe;
        }
        exe.resize(exe.size() * 2);
    }
}

// A file handle the child inherits as one of its standard streams.
class inherited_file {
public:
    inherited_file(const std::string& path, bool write) {
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        m_handle =
            CreateFileW(long_path(path.c_str()).c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                        write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~inherited_file() {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    inherited_file(const inherited_file&) = delete;
    inherited_file& operator=(const inherited_file&) = delete;
    HANDLE handle() const { return m_handle; }

private:
    HANDLE m_handle;
};

}  // namespace

child_result run_self(const std::vector<std::string>& args, const std::string& input,
                      const std::string& scratch) {
    const std::string in_path = scratch + "\\in", out_path = scratch + "\\out",
                      err_path = scratch + "\\err";
    std::ofstream(std::filesystem::u8path(in_path), std::ios::binary) << input;
    std::fflush(nullptr);
    child_result result;
    {
        inherited_file in(in_path, false), out(out_path, true), err(err_path, true);
        const std::wstring program = own_program();
        if (program.empty() || in.handle() == INVALID_HANDLE_VALUE ||
            out.handle() == INVALID_HANDLE_VALUE || err.handle() == INVALID_HANDLE_VALUE)
            return result;
        std::vector<std::string> words{"sonarith-host"};
        words.insert(words.end(), args.begin(), args.end());
        std::wstring command_line = windows_command_line(words);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.handle();
        startup.hStdOutput = out.handle();
        startup.hStdError = err.handle();
        PROCESS_INFORMATION process{};
        if (!start_windows_program(program.c_str(), command_line, 0, nullptr, startup, process))
            return result;
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code))
            result.status = int(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    result.out = read_file(out_path);
    result.err = read_file(err_path);
    return result;
}

std::string make_fresh_directory(const std::string& prefix) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        throw std::runtime_error("cannot find the temporary folder");
    const std::string folder = wide_to_utf8(std::wstring_view(temp, length));
    std::random_device seed;
    std::mt19937 pick(seed());
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = folder + prefix;
        for (int i = 0; i < 6; ++i)
            path += letters[pick() % (sizeof letters - 1)];
        if (CreateDirectoryW(long_path(path.c_str()).c_str(), nullptr))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    throw std::runtime_error("cannot create a profile directory");
}

std::string local_date_today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", unsigned(now.wYear), unsigned(now.wMonth),
                  unsigned(now.wDay));
    return text;
}
