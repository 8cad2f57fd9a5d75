// Windows has no limit on the size of a process's files, so this one is made at
// the system call: while the limit lives, this program's import of WriteFile
// leads to a stand-in that writes no byte of a disk file past the limit. A write
// that would cross it writes what fits, and the next one fails as on a full disk
// (ERROR_DISK_FULL), as a write cut short by the system would. Every call that
// this program's own code makes goes through its import table: the tests', the
// host's and the component's, which are linked into it; writes that the system's
// libraries make on their own account are not limited.
#include "support/file_size_limit.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

using write_file_function = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);

std::atomic<write_file_function> real_write_file{nullptr};
std::atomic<uint64_t> size_limit{0};

BOOL WINAPI write_within_limit(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                               LPOVERLAPPED overlapped) {
    if (GetFileType(file) == FILE_TYPE_DISK) {
        uint64_t at = 0;
        if (overlapped) {
            at = uint64_t(overlapped->OffsetHigh) << 32 | overlapped->Offset;
        } else {
            LARGE_INTEGER zero{}, position{};
            if (SetFilePointerEx(file, zero, &position, FILE_CURRENT))
                at = uint64_t(position.QuadPart);
        }
        const uint64_t limit = size_limit.load();
        if (size > 0 && at >= limit) {
            if (written)
                *written = 0;
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
        size = DWORD(std::min<uint64_t>(size, limit - at));
    }
    return real_write_file.load()(file, data, size, written, overlapped);
}

// The slot of this program's import table through which its code calls
// `function` (imported by name).
void** import_slot(const char* function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; imports.VirtualAddress && library->Name; ++library) {
        // The names stay in the lookup table; the import table holds the addresses.
        const DWORD lookup =
            library->OriginalFirstThunk ? library->OriginalFirstThunk : library->FirstThunk;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + lookup);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            const auto* by_name =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) == 0)
                return reinterpret_cast<void**>(&slot->u1.Function);
        }
    }
    throw std::logic_error(std::string("this program does not import ") + function);
}

void set_slot(void** slot, void* value) {
    DWORD before = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &before))
        throw std::runtime_error("cannot change this program's import table");
    *slot = value;
    VirtualProtect(slot, sizeof *slot, before, &before);
}

}  // namespace

struct file_size_limit::saved {
    void** slot = nullptr;
    void* original = nullptr;
};

file_size_limit::file_size_limit(uint64_t bytes) : m_before(std::make_unique<saved>()) {
    m_before->slot = import_slot("WriteFile");
    m_before->original = *m_before->slot;
    size_limit = bytes;
    real_write_file = reinterpret_cast<write_file_function>(m_before->original);
    set_slot(m_before->slot, reinterpret_cast<void*>(&write_within_limit));
}

file_size_limit::~file_size_limit() {
    set_slot(m_before->slot, m_before->original);
}
