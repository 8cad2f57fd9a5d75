// Keeps entries in step with files the host moved or deleted. Each notification
// uses one writer of the tagshelf service and asks it only for the entries of the
// notified paths, which the component's storage methods find through their path
// index: a notification costs the entries it changes, not the size of the store.
// The results are those of comparing every entry with every path in turn: the
// entries are handled in entry order, each by the first path it equals.
#include <stdexcept>
#include <string>

#include "frame/host_ops.h"
#include "sdk/file.h"
#include "service/reader_wrappers.h"
#include "service/tagshelf_impl.h"

namespace {

using writer_wrapper = tagshelf_impl::tagshelf_reader_writer_wrapper;

// The service's writer, typed as the wrapper it always is; null without storage.
service_ptr_t<writer_wrapper> take_writer() {
    service_ptr_t<tagshelf_reader_writer> writer;
    if (!tagshelf_impl::instance().get_writer(writer))
        return {};
    return static_cast<writer_wrapper*>(writer.get_ptr());
}

// The host's track of a location that entries move to.
metadb_handle_ptr track_of(const playable_location& target) {
    metadb_handle_ptr track = host_ops::track_for(target);
    if (!track)
        throw std::runtime_error("The host gave no track for " + std::string(target.get_path()));
    return track;
}

}  // namespace

void tagshelf_impl::update_locations(const path_list& from, const path_list& to) {
    if (service_ptr_t<writer_wrapper> writer = take_writer())
        writer->move_paths(from, to);
}

void tagshelf_impl::remove_entries(const path_list& items) {
    if (service_ptr_t<writer_wrapper> writer = take_writer())
        writer->remove_paths(items);
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::move_paths(const path_list& from,
                                                               const path_list& to) {
    check_current();
    const filesystem_list filesystems;
    string8 target_path;
    for (const auto& [entry, source] : find_paths(from)) {
        const playable_location& old_location = entry->get_location();
        filesystems.get_canonical_path(to[source], target_path);
        const fixed_location target(target_path.get_ptr(), target_path.get_length(),
                                    old_location.get_subsong());
        if (target.equals(old_location)) {
            // A rename that only changes letter case leads back to this very entry.
            // Keep its fields and give it the new spelling.
            if (target.path() == old_location.get_path())
                continue;
            x_info_impl fields;
            m_writer->get_info(entry, fields);
            touch(entry);
            m_writer->remove_info(entry);
            const metadb_handle_ptr track = track_of(target);
            tagshelf_handle_ptr respelled;
            m_writer->get_handle(respelled, track);
            m_touched.add_item(track);
            m_writer->set_info(respelled, fields);
            continue;
        }
        const metadb_handle_ptr track = track_of(target);
        tagshelf_handle_ptr moved;
        m_writer->get_handle(moved, track);
        m_touched.add_item(track);
        m_writer->copy_info(entry, moved);
        touch(entry);
        m_writer->remove_info(entry);
    }
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::remove_paths(const path_list& paths) {
    check_current();
    for (const auto& match : find_paths(paths)) {
        touch(match.handle);
        m_writer->remove_info(match.handle);
    }
}
