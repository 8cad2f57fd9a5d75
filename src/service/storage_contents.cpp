#include "service/storage_contents.h"

#include <vector>

#include "frame/host_ops.h"
#include "sdk/file.h"
#include "sdk/host_access.h"
#include "storage/x_info.h"

namespace {

tagshelf_handle_list list_entries(tagshelf_reader& reader) {
    tagshelf_handle_list handles;
    const int64_t count = reader.get_entry_count();
    if (count > 0)
        handles.reserve(size_t(count));
    reader.enum_handles(handles);
    return handles;
}

}  // namespace

void collect_tracks(tagshelf_reader& reader, metadb_handle_list& tracks) {
    tagshelf_handle_list handles = list_entries(reader);
    tracks.reserve(tracks.get_count() + handles.get_count());
    for (const auto& handle : handles) {
        metadb_handle_ptr track;
        handle->get_metadb_handle(track);
        tracks.add_item(track);
    }
}

void copy_contents(tagshelf_reader& source, tagshelf_reader_writer& target) {
    tagshelf_handle_list handles = list_entries(source);
    std::vector<x_info_impl> infos(handles.get_count());
    list_t<x_info*> info_slots;
    list_t<const x_info*> info_values;
    info_slots.reserve(infos.size());
    info_values.reserve(infos.size());
    for (auto& info : infos) {
        info_slots.add_item(&info);
        info_values.add_item(&info);
    }
    source.get_info_multi(handles, info_slots);

    target.remove_all();
    for (size_t i = 0; i < handles.get_count(); ++i) {
        metadb_handle_ptr track;
        handles[i]->get_metadb_handle(track);
        tagshelf_handle_ptr copy;
        target.get_handle(copy, track);
        handles.set_item(i, copy);
    }
    target.set_info_multi(handles, info_values);
}

void prune_non_library(tagshelf_reader_writer& writer) {
    tagshelf_handle_list handles = list_entries(writer);
    host_ops::single<library_manager>();
    for (size_t i = handles.get_count(); i-- > 0;) {
        metadb_handle_ptr track;
        handles[i]->get_metadb_handle(track);
        if (!host_ops::in_media_library(track))
            writer.remove_info(handles[i]);
    }
}

bool file_is_missing(const char* path, abort_callback& abort) {
    bool handled = false;
    service_enum<filesystem>([&](const service_ptr_t<filesystem>& fs) {
        handled = fs->is_our_path(path);
        return !handled;
    });
    return handled && !filesystem::g_exists(path, abort);
}
