// Files and the host's file-system services, plus the plain UTF-8 file functions
// of the host's helper library.
#pragma once

#include <cstdint>
#include <vector>

#include "sdk/abort.h"
#include "sdk/service.h"
#include "sdk/stream.h"
#include "sdk/strings.h"

// An open file. Reads answer the bytes obtained; failures raise exception_io.
class file : public service_base, public stream_reader, public stream_writer {
public:
    using interface_type = file;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x2C73D1A2, 0x1E4D, 0x43DA, {0x8E, 0x95, 0x0B, 0x93, 0xCB, 0x60, 0x8D, 0xAC}};

    virtual uint64_t get_size(abort_callback& abort) = 0;
    virtual uint64_t get_position(abort_callback& abort) = 0;
    virtual void seek(uint64_t position, abort_callback& abort) = 0;
    // Pushes everything written so far through to the storage device, so that it
    // survives a crash of the process or the machine. Raises exception_io.
    virtual void flush(abort_callback& abort) = 0;

    bool is_eof(abort_callback& abort) { return get_position(abort) >= get_size(abort); }

protected:
    ~file() = default;
};

// A file system of the host. Paths may be plain file-system paths or file URLs.
class filesystem : public service_base {
public:
    using interface_type = filesystem;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x2FBCE1E5, 0x902E, 0x49E0, {0xB9, 0xCF, 0xCE, 0x0F, 0xBA, 0x76, 0x53, 0x48}};

    enum t_open_mode {
        open_mode_read = 0,            // an existing file, for reading
        open_mode_write_existing = 1,  // an existing file, for reading and writing
        open_mode_write_new = 2,       // a new empty file, replacing any existing one
    };

    // Whether this file system handles `path`.
    virtual bool is_our_path(const char* path) = 0;
    // The host's canonical form of `path`; false when this file system does not
    // handle it.
    virtual bool get_canonical_path(const char* path, string_base& out) = 0;
    // Opens `path`; raises exception_io when it cannot.
    virtual void open(service_ptr_t<file>& out, const char* path, t_open_mode mode,
                      abort_callback& abort) = 0;
    virtual bool exists(const char* path, abort_callback& abort) = 0;

    // Opens through the first registered file system that handles the path;
    // raises exception_io when none can open it.
    static void g_open(service_ptr_t<file>& out, const char* path, t_open_mode mode,
                       abort_callback& abort);
    // Asks every file system in registry order; the first that answers gives the
    // result, and when none does the path is used unchanged.
    static void g_get_canonical_path(const char* path, string_base& out);
    static bool g_exists(const char* path, abort_callback& abort);

protected:
    ~filesystem() = default;
};

// The host's file systems, looked up once in registry order, for work that asks
// them about many paths.
class filesystem_list {
public:
    filesystem_list();
    // As filesystem::g_get_canonical_path.
    void get_canonical_path(const char* path, string_base& out) const;
    // The first file system whose path `path` is, or null when none handles it.
    filesystem* owner_of(const char* path) const;

private:
    std::vector<service_ptr_t<filesystem>> m_filesystems;
};

// Plain file-system functions on UTF-8 paths.
bool uFindFirstFile(const char* path);  // whether the path names an existing entry
bool uMoveFile(const char* from, const char* to);
bool uDeleteFile(const char* path);
// The separator that joins a directory and a file name on this platform.
inline constexpr char path_separator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif
