#include "support/test_process.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <psapi.h>

#include <algorithm>
#include <stdexcept>

#include "host/cli/command_line_win32.h"
#include "sdk/utf16_win32.h"

struct test_process::system_state {
    HANDLE process = nullptr;
    HANDLE input = nullptr;  // the write end of the input pipe, or null
    bool ended = false;
    int status = -1;
    // The highest peak working set read while the program ran.
    size_t peak_bytes = 0;
};

namespace {

// A handle the child inherits, to the file at `path` (the null device for "").
HANDLE inheritable_file(const std::string& path, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    // Shared, so that a test can read what the program wrote so far.
    HANDLE file = CreateFileW(
        path.empty() ? L"NUL" : utf8_to_wide(path).c_str(), write ? GENERIC_WRITE : GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
        write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + path + " for a program's standard streams");
    return file;
}

// This process's environment with `extra` added, as CreateProcessW takes it.
std::wstring environment_block(const std::vector<std::string>& extra) {
    std::wstring block;
    wchar_t* own = GetEnvironmentStringsW();
    for (const wchar_t* entry = own; *entry; entry += wcslen(entry) + 1)
        block.append(entry, wcslen(entry) + 1);
    FreeEnvironmentStringsW(own);
    for (const auto& entry : extra)
        block += utf8_to_wide(entry) + L'\0';
    return block + L'\0';
}

// The peak working set of `process` so far, or 0 where the system does not say.
size_t peak_working_set(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}

}  // namespace

test_process::test_process(const std::vector<std::string>& command, const streams& files,
                           const std::vector<std::string>& environment)
    : m_state(std::make_unique<system_state>()) {
    std::wstring line = windows_command_line(command);

    HANDLE input_read = nullptr;
    if (files.in.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        if (!CreatePipe(&input_read, &m_state->input, &inherit, 0))
            throw std::runtime_error("cannot make a pipe");
        SetHandleInformation(m_state->input, HANDLE_FLAG_INHERIT, 0);
    } else {
        input_read = inheritable_file(files.in, false);
    }
    HANDLE output = inheritable_file(files.out, true);
    HANDLE errors = inheritable_file(files.err, true);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input_read;
    startup.hStdOutput = output;
    startup.hStdError = errors;
    PROCESS_INFORMATION started{};
    std::wstring env = environment_block(environment);
    const bool ok = start_windows_program(
        nullptr, line, CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, env.data(), startup, started);
    const DWORD error = GetLastError();
    CloseHandle(input_read);
    CloseHandle(output);
    CloseHandle(errors);
    if (!ok) {
        close_input();
        throw std::runtime_error("cannot start " + command[0] + " (error " + std::to_string(error) +
                                 ")");
    }
    CloseHandle(started.hThread);
    m_state->process = started.hProcess;
}

test_process::~test_process() {
    kill();
    close_input();
    CloseHandle(m_state->process);
}

bool test_process::send(const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        DWORD wrote = 0;
        if (!WriteFile(m_state->input, text.data() + done, DWORD(text.size() - done), &wrote,
                       nullptr) ||
            wrote == 0)
            return false;
        done += wrote;
    }
    return true;
}

void test_process::close_input() {
    if (m_state->input)
        CloseHandle(m_state->input);
    m_state->input = nullptr;
}

bool test_process::running() {
    return !m_state->ended && WaitForSingleObject(m_state->process, 0) == WAIT_TIMEOUT;
}

int test_process::wait() {
    if (!m_state->ended) {
        // Wine forgets a program's memory counters when it ends, so the peak is
        // read while it runs: the peak only grows, and the last reading comes
        // within a few milliseconds of the end.
        while (WaitForSingleObject(m_state->process, 5) == WAIT_TIMEOUT)
            m_state->peak_bytes = std::max(m_state->peak_bytes, peak_working_set(m_state->process));
        DWORD code = 0;
        GetExitCodeProcess(m_state->process, &code);
        m_state->ended = true;
        m_state->status = int(code);
    }
    return m_state->status;
}

long test_process::peak_resident_kib() const {
    // Windows itself still tells the peak of an ended program.
    return long(std::max(m_state->peak_bytes, peak_working_set(m_state->process)) / 1024);
}

bool test_process::kill() {
    if (!running())
        return false;
    TerminateProcess(m_state->process, 1);
    WaitForSingleObject(m_state->process, INFINITE);
    m_state->ended = true;
    m_state->status = -1;
    return true;
}

std::string test_process::this_program() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (length == 0 || length >= path.size())
        throw std::runtime_error("cannot find this program's file");
    path.resize(length);
    return wide_to_utf8(path);
}
