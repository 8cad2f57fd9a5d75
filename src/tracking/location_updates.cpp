// Keeps entries in step with files the host moved or deleted. Each notification
// uses one writer of the tagshelf service and asks it only for the entries of the
// notified paths, which the component's storage methods find through their path
// index: a notification costs the entries it changes, not the size of the store.
// The results are those of comparing every entry with every path in turn: the
// entries are handled in entry order, each by the first path it equals.
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

}  // namespace

void tagshelf_impl::update_locations(const path_list& from, const path_list& to) {
    service_ptr_t<writer_wrapper> writer = take_writer();
    if (!writer)
        return;
    for (const auto& [handle, source] : writer->find_paths(from)) {
        const playable_location& old_location = handle->get_location();
        metadb_handle_ptr old_track;
        handle->get_metadb_handle(old_track);
        string8 target_path;
        filesystem::g_get_canonical_path(to[source], target_path);
        playable_location_impl target(target_path.str(), old_track->get_location().get_subsong());
        if (target.equals(old_location)) {
            // A rename that only changes letter case leads back to this very entry.
            // Keep its fields and give it the new spelling.
            if (target.path() == old_location.get_path())
                continue;
            x_info_impl fields;
            writer->get_info(handle, fields);
            writer->remove_info(handle);
            tagshelf_handle_ptr respelled;
            writer->get_handle(respelled, host_ops::track_for(target));
            writer->set_info(respelled, fields);
            continue;
        }
        tagshelf_handle_ptr moved;
        writer->get_handle(moved, host_ops::track_for(target));
        writer->copy_info(handle, moved);
        writer->remove_info(handle);
    }
}

void tagshelf_impl::remove_entries(const path_list& items) {
    service_ptr_t<writer_wrapper> writer = take_writer();
    if (!writer)
        return;
    for (const auto& match : writer->find_paths(items))
        writer->remove_info(match.handle);
}
