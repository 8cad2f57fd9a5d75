// The host's track database: one handle per location, the refresh service that
// redraws tracks, and the TRACK notation of the command line.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <tsl/hopscotch_set.h>

#include "sdk/metadb.h"

// Formats a track with a compiled script (the host's title formatting plugs in here).
using track_formatter =
    std::function<bool(metadb_handle* track, titleformat_hook* hook, string_base& out,
                       const service_ptr_t<titleformat_object>& script)>;

// One track of the track database. Tracks are made by make(), which puts the
// path in the same allocation as the track: finding a track compares its path,
// and the comparison then reads the block the handle's reference count is in.
class host_track : public metadb_handle {
public:
    static service_ptr_t<host_track> make(std::string_view path, uint32_t subsong,
                                          const track_formatter* formatter);

    const playable_location& get_location() const override { return m_location; }
    const fixed_location& location() const { return m_location; }
    bool format_title(titleformat_hook* hook, string_base& out,
                      const service_ptr_t<titleformat_object>& script) override;
    // folded_path_hash of the path, worked out on first use and kept: the media
    // library looks up by it every track whose own spelling it does not list.
    size_t folded_hash() const;

    // Whether the media library lists this very handle (this spelling and
    // subsong), so that asking about a library track reads the handle already in
    // hand. The library counts the places it lists the handle at.
    bool listed_in_library() const { return m_library_places.load(std::memory_order_relaxed) != 0; }
    void list_in_library() { m_library_places.fetch_add(1, std::memory_order_relaxed); }
    void unlist_from_library() { m_library_places.fetch_sub(1, std::memory_order_relaxed); }

    // The track and its path are one block of memory, larger than the object: it
    // is freed without a size.
    static void operator delete(void* block) { ::operator delete(block); }

protected:
    host_track(const char* path, size_t length, uint32_t subsong, const track_formatter* formatter)
        : m_location(path, length, subsong), m_formatter(formatter) {}

private:
    const fixed_location m_location;
    const track_formatter* m_formatter;
    std::atomic<uint32_t> m_library_places{0};
    mutable std::atomic<size_t> m_folded_hash{0};
    mutable std::atomic<bool> m_folded_hash_known{false};
};

class track_database : public metadb {
public:
    void handle_create(metadb_handle_ptr& out, const playable_location& location) override;
    metadb_handle_ptr track(const playable_location& location);
    // The handle of the location of `path` and `subsong` as the host's own type.
    service_ptr_t<host_track> host_track_for(std::string_view path, uint32_t subsong);
    void set_formatter(track_formatter formatter) { m_formatter = std::move(formatter); }

private:
    // A location by its exact spelling and subsong.
    struct spelling {
        std::string_view path;
        uint32_t subsong;
    };
    static spelling spelling_of(const host_track& track) {
        return spelling{track.location().path(), track.location().get_subsong()};
    }
    // Tracks hash and compare by their spelling, so that the table is searched
    // with a spelling and holds nothing but the handles.
    struct spelling_hash {
        using is_transparent = void;
        size_t operator()(const spelling& key) const;
        size_t operator()(const service_ptr_t<host_track>& track) const;
    };
    struct spelling_equal {
        using is_transparent = void;
        bool operator()(const service_ptr_t<host_track>& a,
                        const service_ptr_t<host_track>& b) const;
        bool operator()(const service_ptr_t<host_track>& track, const spelling& key) const;
        bool operator()(const spelling& key, const service_ptr_t<host_track>& track) const {
            return (*this)(track, key);
        }
    };
    // Each bucket holds the handle beside part of its hash, and a track's
    // candidates lie in the buckets right behind its own: a lookup reads one
    // stretch of the table, then the track it hands out, instead of a control
    // block, a slot and the track in turn. A neighbourhood of 30 buckets is the
    // widest the set allows when it keeps the hashes (the last argument).
    using track_table = tsl::hopscotch_set<service_ptr_t<host_track>, spelling_hash, spelling_equal,
                                           std::allocator<service_ptr_t<host_track>>, 30, true>;

    // Components ask for handles on any thread.
    std::mutex m_lock;
    // One handle per exact spelling and subsong, kept for the session.
    track_table m_tracks;
    track_formatter m_formatter;
};

class refresh_service : public metadb_io {
public:
    void dispatch_refresh(const list_base_const_t<metadb_handle_ptr>& tracks) override;
    void set_verbose(bool verbose) { m_verbose = verbose; }
    // Whether log() keeps what later notifications named. A session keeps nothing
    // unless asked: a storage switch redraws every stored track, and a session
    // may do that many times over a million tracks.
    void set_keep_log(bool keep) { m_keep_log = keep; }
    // Every notification since the log was asked for: the locations it named.
    const std::vector<std::vector<playable_location_impl>>& log() const { return m_log; }

private:
    bool m_verbose = false;
    bool m_keep_log = false;
    // Writers are released, and so refresh, on any thread.
    std::mutex m_lock;
    std::vector<std::vector<playable_location_impl>> m_log;
};

// A TRACK argument: a file path, optionally followed by #N for subsong N. Relative
// paths are made absolute. The location's path is the canonical host path,
// "file://" followed by the absolute file-system path.
playable_location_impl parse_track_argument(const std::string& argument);
// A plain file-system path (relative ones made absolute) as a host path.
std::string to_host_path(const std::string& file_path);
// The file-system path of a host path ("file://" removed).
std::string to_file_path(const std::string& host_path);
// A location the way a user writes it: the file path, with #N when N is not 0.
std::string describe_location(const playable_location& location);
