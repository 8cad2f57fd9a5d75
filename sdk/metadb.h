// Tracks as the host knows them: a location (file path and subsong index), the
// host's handle for a track, and the host services that make, refresh and list
// tracks.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "sdk/lists.h"
#include "sdk/service.h"
#include "sdk/strings.h"
#include "sdk/titleformat.h"

class playable_location {
public:
    virtual const char* get_path() const = 0;
    virtual void set_path(const char* path) = 0;
    virtual uint32_t get_subsong() const = 0;
    virtual void set_subsong(uint32_t subsong) = 0;

    // Equal paths without regard to letter case, and equal subsongs.
    bool equals(const playable_location& other) const;

protected:
    ~playable_location() = default;
};

// A location over a path kept elsewhere, usually in the same allocation as the
// object that owns the location, which never changes: the setters raise
// std::logic_error.
class fixed_location final : public playable_location {
public:
    fixed_location(const char* path, size_t length, uint32_t subsong)
        : m_path(path), m_length(uint32_t(length)), m_subsong(subsong) {}
    fixed_location(const fixed_location&) = delete;
    fixed_location& operator=(const fixed_location&) = delete;

    const char* get_path() const override { return m_path; }
    void set_path(const char* path) override;
    uint32_t get_subsong() const override { return m_subsong; }
    void set_subsong(uint32_t subsong) override;

    std::string_view path() const { return std::string_view(m_path, m_length); }

private:
    const char* const m_path;
    const uint32_t m_length;
    const uint32_t m_subsong;
};

// Makes a `Made` in one block of memory with a zero-terminated copy of `path`
// right behind it, handing the copy and its length to the constructor before
// `args`: an object that owns a fixed_location then costs one allocation. The
// block is larger than the object, so `Made` frees it without a size (a static
// operator delete that calls ::operator delete).
template <class Made, class... Args>
Made* new_with_path_behind(std::string_view path, Args&&... args) {
    void* block = ::operator new(sizeof(Made) + path.size() + 1);
    char* text = static_cast<char*>(block) + sizeof(Made);
    std::memcpy(text, path.data(), path.size());
    text[path.size()] = '\0';
    try {
        return ::new (block) Made(text, path.size(), std::forward<Args>(args)...);
    } catch (...) {
        ::operator delete(block);
        throw;
    }
}

// A location held by value.
class playable_location_impl final : public playable_location {
public:
    playable_location_impl() = default;
    playable_location_impl(std::string path, uint32_t subsong)
        : m_path(std::move(path)), m_subsong(subsong) {}
    explicit playable_location_impl(const playable_location& other)
        : m_path(other.get_path()), m_subsong(other.get_subsong()) {}
    playable_location_impl(const playable_location_impl&) = default;
    playable_location_impl& operator=(const playable_location_impl&) = default;
    // Moving keeps the path's buffer, so arrays of locations grow without copying paths.
    playable_location_impl(playable_location_impl&&) noexcept = default;
    playable_location_impl& operator=(playable_location_impl&&) noexcept = default;

    const char* get_path() const override { return m_path.c_str(); }
    void set_path(const char* path) override { m_path = path ? path : ""; }
    uint32_t get_subsong() const override { return m_subsong; }
    void set_subsong(uint32_t subsong) override { m_subsong = subsong; }

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    uint32_t m_subsong = 0;
};

// The host's handle for one track.
class metadb_handle : public service_base {
public:
    using interface_type = metadb_handle;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x60F0821D, 0x3715, 0x4B1B, {0x9A, 0xDD, 0x70, 0xF3, 0xC7, 0x4C, 0x60, 0x5F}};

    // The track's location, valid as long as the handle is held.
    virtual const playable_location& get_location() const = 0;
    // Formats this track with `script` into `out`; `hook`, when given, is asked
    // first for every field and function. False when formatting failed.
    virtual bool format_title(titleformat_hook* hook, string_base& out,
                              const service_ptr_t<titleformat_object>& script) = 0;

protected:
    ~metadb_handle() = default;
};

using metadb_handle_ptr = service_ptr_t<metadb_handle>;
using metadb_handle_list = service_list_t<metadb_handle>;

// The track-handle service: one handle per location.
class metadb : public service_base {
public:
    using interface_type = metadb;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x609D48C8, 0xC6A6, 0x4784, {0x8B, 0xBD, 0xFD, 0xD3, 0x2B, 0xF0, 0x74, 0x0E}};

    virtual void handle_create(metadb_handle_ptr& out, const playable_location& location) = 0;

protected:
    ~metadb() = default;
};

// The track-refresh service: the listed tracks are formatted and shown again.
class metadb_io : public service_base {
public:
    using interface_type = metadb_io;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x64D18B80, 0x5E97, 0x40E4, {0xA3, 0x0C, 0xA4, 0x64, 0x0C, 0x60, 0xBC, 0xE5}};

    virtual void dispatch_refresh(const list_base_const_t<metadb_handle_ptr>& tracks) = 0;

protected:
    ~metadb_io() = default;
};

// Receives the tracks of the media library one by one.
class library_track_callback {
public:
    // One track the library lists. The handle stays valid during the call; take a
    // reference (a metadb_handle_ptr) to keep it longer.
    virtual void on_track(metadb_handle& track) = 0;

protected:
    ~library_track_callback() = default;
};

// The media library: the tracks the user collected.
class library_manager : public service_base {
public:
    using interface_type = library_manager;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0xFEBD85B5, 0xC12D, 0x45B5, {0xB5, 0x5D, 0x0D, 0x3F, 0x43, 0x2B, 0x0C, 0x6B}};

    virtual bool is_item_in_library(const metadb_handle_ptr& track) = 0;
    // Calls `callback` for every track the library lists, in the library's own
    // order, without copying the list: a library may hold a million tracks. The
    // callback must not change the library.
    virtual void enum_tracks(library_track_callback& callback) = 0;

protected:
    ~library_manager() = default;
};
