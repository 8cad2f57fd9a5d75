// Keeps entries in step with files the host moved or deleted. Both walks use one
// writer of the tagshelf service per notification and match paths through a set of
// lower-cased paths, so a notification costs about entries plus paths rather than
// entries times paths, with the same results as comparing each entry with each
// path in turn (the first matching path wins).
#include <string>
#include <unordered_map>

#include "frame/host_ops.h"
#include "sdk/file.h"
#include "sdk/utf8.h"
#include "service/tagshelf_impl.h"

namespace {

std::string folded(const char* path) {
    std::string lower;
    utf8_append_lower(lower, path);
    return lower;
}

// Lower-cased path -> index of the first path in the list that has it: the same
// answer as comparing each path in turn without regard to case.
std::unordered_map<std::string, size_t> index_paths(const path_list& paths) {
    std::unordered_map<std::string, size_t> index;
    index.reserve(paths.get_count());
    for (size_t i = 0, n = paths.get_count(); i < n; ++i)
        index.emplace(folded(paths[i]), i);
    return index;
}

// Every stored entry, listed once before anything changes.
tagshelf_handle_list all_entries(tagshelf_reader_writer& writer) {
    tagshelf_handle_list handles;
    int64_t count = writer.get_entry_count();
    if (count > 0)
        handles.reserve(size_t(count));
    writer.enum_handles(handles);
    return handles;
}

}  // namespace

void tagshelf_impl::update_locations(const path_list& from, const path_list& to) {
    service_ptr_t<tagshelf_reader_writer> writer;
    if (!tagshelf_impl::instance().get_writer(writer))
        return;
    const auto sources = index_paths(from);
    for (const auto& handle : all_entries(*writer)) {
        const playable_location& old_location = handle->get_location();
        auto match = sources.find(folded(old_location.get_path()));
        if (match == sources.end())
            continue;

        metadb_handle_ptr old_track;
        handle->get_metadb_handle(old_track);
        string8 target_path;
        filesystem::g_get_canonical_path(to[match->second], target_path);
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
    service_ptr_t<tagshelf_reader_writer> writer;
    if (!tagshelf_impl::instance().get_writer(writer))
        return;
    const auto deleted = index_paths(items);
    for (const auto& handle : all_entries(*writer)) {
        if (deleted.count(folded(handle->get_location().get_path())))
            writer->remove_info(handle);
    }
}
