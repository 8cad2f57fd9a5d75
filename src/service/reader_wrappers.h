// The readers and writers the tagshelf service hands out: each wraps an accessor
// of the active storage, converts the service's handles to the storage's own, and
// wraps the storage's handles it returns. A writer records the tracks it touches
// and asks the host to redraw them when its last reference goes.
#pragma once

#include <absl/container/inlined_vector.h>

#include <functional>

#include "service/moved_files.h"
#include "service/tagshelf_impl.h"

class tagshelf_impl::tagshelf_reader_wrapper : public tagshelf_reader_writer {
public:
    // `accessor` is a reader or writer of the storage made active under `binding`;
    // `own_store` is that storage's store when it is one of this component's, else null.
    tagshelf_reader_wrapper(service_ptr_t<tagshelf_reader> accessor, uint32_t binding,
                            tagshelf_store* own_store);

    void get_handle(tagshelf_handle_ptr& out, const metadb_handle_ptr& track) override;
    void enum_handles(list_base_t<tagshelf_handle_ptr>& out) override;
    bool has_info(const tagshelf_handle_ptr& handle) override;
    void get_info(const tagshelf_handle_ptr& handle, x_info& out) override;
    void get_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                        const list_base_const_t<x_info*>& out) override;
    bool get_value(const tagshelf_handle_ptr& handle, const char* name, size_t index,
                   string_base& out) override;
    size_t get_value_count(const tagshelf_handle_ptr& handle, const char* name) override;
    int64_t get_entry_count() override;
    size_t get_total_value_count() override;

    // get_handle and get_value in one, without making a handle of the service: title
    // formatting reads a field of every track it draws, and a handle would cost an
    // allocation and two passes through the registry's lock each time.
    bool get_track_value(const metadb_handle_ptr& track, const char* name, size_t index,
                         string_base& out);

    // A reader answers the writer's interface too; its writes do nothing.
    void remove_all() override {}
    void set_info(const tagshelf_handle_ptr&, const x_info&) override {}
    void set_info_multi(const list_base_const_t<tagshelf_handle_ptr>&,
                        const list_base_const_t<const x_info*>&) override {}
    void copy_info(const tagshelf_handle_ptr&, const tagshelf_handle_ptr&) override {}
    void remove_info(const tagshelf_handle_ptr&) override {}
    void add_value(const tagshelf_handle_ptr&, const char*, const char*) override {}
    void remove_field(const tagshelf_handle_ptr&, const char*) override {}
    void set_value(const tagshelf_handle_ptr&, const char*, const char*) override {}

protected:
    // Raises when the storage was switched since this reader was made: its storage
    // is closed or closing, and the service's handles belong to another one now.
    void check_current() const;

    // The storage's own handle of an entry whose path matched, with the index of
    // the first of the sought paths that it equals.
    struct path_match {
        tagshelf_handle_ptr handle;
        size_t path_index;
    };
    // One path's matches, the usual notification, need no allocation.
    using path_matches = absl::InlinedVector<path_match, 2>;
    // Every stored entry whose path equals one of `paths` without regard to letter
    // case, in entry order. The component's own storage methods answer from their
    // path index, at the cost of the entries found; a method of another component
    // is searched entry by entry.
    path_matches find_paths(const path_list& paths);
    // The storage's own handle behind a handle of the service.
    tagshelf_handle_ptr convert(const tagshelf_handle_ptr& handle) const;
    tagshelf_handle_list convert(const list_base_const_t<tagshelf_handle_ptr>& handles) const;

    service_ptr_t<tagshelf_reader> m_accessor;
    // The store the accessor reads when it is one of this component's, else null.
    tagshelf_store* const m_own_store;
    const uint32_t m_binding;
};

class tagshelf_impl::tagshelf_reader_writer_wrapper
    : public tagshelf_impl::tagshelf_reader_wrapper {
public:
    tagshelf_reader_writer_wrapper(service_ptr_t<tagshelf_reader_writer> accessor, uint32_t binding,
                                   tagshelf_store* own_store);
    // Releases the storage's writer (which finishes the write and gives up the store
    // lock), then asks the host to redraw the touched tracks, also when none were.
    ~tagshelf_reader_writer_wrapper();

    void remove_all() override;
    void set_info(const tagshelf_handle_ptr& handle, const x_info& info) override;
    void set_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                        const list_base_const_t<const x_info*>& infos) override;
    void copy_info(const tagshelf_handle_ptr& source, const tagshelf_handle_ptr& target) override;
    void remove_info(const tagshelf_handle_ptr& handle) override;
    void add_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) override;
    void remove_field(const tagshelf_handle_ptr& handle, const char* name) override;
    void set_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) override;

    // Removes every entry whose location `doomed` picks, walking from the last entry
    // to the first, without making a handle of the service for each entry; with
    // `moved` given, an entry whose file moved to another library track follows it
    // instead (see moved_files.h). The changed tracks are redrawn when the writer
    // is released. `activity` names the work in the progress shown on the console.
    void remove_where(const char* activity,
                      const std::function<bool(const playable_location&)>& doomed,
                      const moved_file_rules* moved = nullptr);

    // The host moved or deleted files: the entries of each path of `from` move to
    // the path of `to` at the same place, and the entries of `paths` go. Both
    // work on the storage's own handles of the entries found, so that a file costs
    // no handle of the service; the changed tracks are redrawn when the writer is
    // released.
    void move_paths(const path_list& from, const path_list& to);
    void remove_paths(const path_list& paths);

private:
    void touch(const tagshelf_handle_ptr& handle);

    // The same accessor as m_accessor, typed as a writer.
    tagshelf_reader_writer* m_writer;
    // The tracks the writes met, in order, duplicates kept.
    metadb_handle_list m_touched;
};
