// The public interface of snr_tagshelf: extra fields for tracks, kept beside the
// media files rather than in them. Another component reaches the store through the
// one registered `tagshelf` service:
//
//     service_ptr_t<tagshelf> shelf = <single-instance lookup of tagshelf::class_guid>;
//     service_ptr_t<tagshelf_reader_writer> writer;
//     if (shelf->get_writer(writer)) {
//         service_ptr_t<tagshelf_handle> handle;
//         writer->get_handle(handle, track);
//         writer->set_value(handle, "RATING", "5");
//     }   // releasing the writer saves the change and refreshes the track's display
//
// Ownership: every reference handed out through an out slot is a new reference that
// the caller releases (service_ptr_t does so). The previous content of an out slot
// is released when it is filled; a slot that is not filled is left as it was.
//
// Threads: every operation may be called on any thread. A reader or writer holds
// the active storage's one lock (shared by readers and writers) for as long as any
// reference to it exists; take one, do the work, release it. Holding two on one
// thread is allowed (the lock is re-entrant); holding one across a user
// interaction blocks every other thread that wants the storage.
//
// Switching storage: a switch started on another thread waits until every reader
// and writer of the old storage is released, then re-binds the service's handles to
// the new storage. A reader or writer still held by the thread that switches stops
// working: every later call on it raises; release it and take a new one.
//
// Errors: get_reader and get_writer answer false instead of raising. Every other
// operation may raise a std::exception whose what() explains a storage failure;
// callers catch it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sdk/lists.h"
#include "sdk/metadb.h"
#include "sdk/service.h"
#include "sdk/strings.h"
#include "storage/x_info.h"

// One track location's entry: a plain value naming a location (path and subsong),
// whether or not the storage holds fields for it yet. Handles outlive readers and
// writers. A handle obtained through the tagshelf service may be passed to any
// later reader or writer of the service, also after the active storage changed.
class tagshelf_handle : public service_base {
public:
    using interface_type = tagshelf_handle;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x87AC8688, 0xD80E, 0x491A, {0xB4, 0x88, 0x6C, 0x0E, 0xBF, 0xFE, 0xE4, 0x65}};

    // The location of the handle's track; valid as long as the handle is held.
    // Never fails.
    virtual const playable_location& get_location() = 0;
    // Puts the host's track handle for that location into `out`.
    virtual void get_metadb_handle(metadb_handle_ptr& out) = 0;

protected:
    ~tagshelf_handle() = default;
};

using tagshelf_handle_ptr = service_ptr_t<tagshelf_handle>;
using tagshelf_handle_list = service_list_t<tagshelf_handle>;

// Reads the active storage. Field names are zero-terminated UTF-8 and match
// without regard to letter case.
class tagshelf_reader : public service_base {
public:
    using interface_type = tagshelf_reader;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x940875AB, 0x8B2E, 0x4010, {0x96, 0x46, 0x9C, 0x88, 0xB1, 0xDD, 0xDB, 0x5B}};

    // Puts into `out` the handle of `track`'s location: the stored entry when there
    // is one, else a new handle that is not stored yet and has no fields. An
    // unstored handle becomes a stored entry when a writer sets content on it.
    virtual void get_handle(tagshelf_handle_ptr& out, const metadb_handle_ptr& track) = 0;
    // Empties `out`, then appends one handle per stored entry in the storage's
    // order. (A storage's own accessor appends without emptying first.)
    virtual void enum_handles(list_base_t<tagshelf_handle_ptr>& out) = 0;
    // Whether the entry has at least one field.
    virtual bool has_info(const tagshelf_handle_ptr& handle) = 0;
    // Replaces `out`'s whole content by a copy of the entry's fields (empty for an
    // unstored handle).
    virtual void get_info(const tagshelf_handle_ptr& handle, x_info& out) = 0;
    // get_info for each pair, in order; the lists have equal counts.
    virtual void get_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                                const list_base_const_t<x_info*>& out) = 0;
    // On true, `out` holds value `index` (0 for the first) of field `name`. On
    // false (no such field or value) `out` is untouched.
    virtual bool get_value(const tagshelf_handle_ptr& handle, const char* name, size_t index,
                           string_base& out) = 0;
    // Number of values of field `name`; 0 when absent.
    virtual size_t get_value_count(const tagshelf_handle_ptr& handle, const char* name) = 0;
    // Number of entries in the storage, counting entries whose last field was
    // removed; negative when unknown.
    virtual int64_t get_entry_count() = 0;
    // Number of values summed over all fields of all entries.
    virtual size_t get_total_value_count() = 0;

protected:
    ~tagshelf_reader() = default;
};

// Reads and writes the active storage. Writes take effect in memory at once and
// are visible to readers taken afterwards; when the last reference to a writer of
// the tagshelf service is released the storage finishes the write by its own rules
// and the host redraws every track the writer touched. Write operations raise on
// storage failure.
class tagshelf_reader_writer : public tagshelf_reader {
public:
    using interface_type = tagshelf_reader_writer;
    using parent_class = tagshelf_reader;
    static constexpr GUID class_guid = {
        0xCCBD1106, 0x46E3, 0x4215, {0xBD, 0x90, 0xF8, 0xFF, 0xBD, 0x68, 0xFA, 0xC7}};

    // Removes every entry. Handles held by callers stay valid, empty and unstored.
    virtual void remove_all() = 0;
    // The entry's fields become a copy of `info`; the entry is stored if it was not.
    virtual void set_info(const tagshelf_handle_ptr& handle, const x_info& info) = 0;
    // set_info for each pair, in order; the lists have equal counts.
    virtual void set_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                                const list_base_const_t<const x_info*>& infos) = 0;
    // The target's fields become a copy of the source's; nothing happens when both
    // handles denote the same entry.
    virtual void copy_info(const tagshelf_handle_ptr& source,
                           const tagshelf_handle_ptr& target) = 0;
    // Removes the entry with all its fields; an unstored handle is left unchanged.
    virtual void remove_info(const tagshelf_handle_ptr& handle) = 0;
    // Appends `value` to field `name`, creating the field after the others.
    virtual void add_value(const tagshelf_handle_ptr& handle, const char* name,
                           const char* value) = 0;
    // Removes field `name` with all its values; nothing happens when absent.
    virtual void remove_field(const tagshelf_handle_ptr& handle, const char* name) = 0;
    // Field `name` ends with exactly this one value; an existing field of that name
    // is removed first, so the field moves to the end of the entry's fields.
    virtual void set_value(const tagshelf_handle_ptr& handle, const char* name,
                           const char* value) = 0;

protected:
    ~tagshelf_reader_writer() = default;
};

// The service: hands out readers and writers of the active storage. Exactly one
// instance is registered; find it by a single-instance lookup of its class GUID.
class tagshelf : public service_base {
public:
    using interface_type = tagshelf;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x8B9E68E5, 0xFEBE, 0x4565, {0x9F, 0x41, 0xC1, 0x93, 0x7F, 0x6B, 0x5A, 0x4E}};

    // True: `out` holds a writer of the active storage. False: no storage is active
    // (none configured, or opening it failed; the user has been told), and `out` is
    // untouched.
    virtual bool get_writer(service_ptr_t<tagshelf_reader_writer>& out) = 0;
    // As get_writer, with a reader.
    virtual bool get_reader(service_ptr_t<tagshelf_reader>& out) = 0;
    // Keeps the active storage from being replaced until unlock: while one thread
    // holds the lock (re-entrant), every other thread that asks for a reader or
    // writer, or switches storage, waits.
    virtual void lock() = 0;
    // Releases lock(); calls pair with lock() on the same thread.
    virtual void unlock() = 0;

protected:
    ~tagshelf() = default;
};
