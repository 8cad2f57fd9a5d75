#include "service/storage_contents.h"

#include "frame/host_ops.h"
#include "sdk/file.h"
#include "sdk/host_access.h"
#include "service/moved_files.h"
#include "service/progress_meter.h"
#include "storage/accessors.h"

tagshelf_handle_list list_entries(tagshelf_reader& reader) {
    tagshelf_handle_list handles;
    const int64_t count = reader.get_entry_count();
    if (count > 0)
        handles.reserve(size_t(count));
    reader.enum_handles(handles);
    return handles;
}

void collect_tracks(tagshelf_reader& reader, metadb_handle_list& tracks) {
    tagshelf_handle_list handles = list_entries(reader);
    tracks.reserve(tracks.get_count() + handles.get_count());
    for (const auto& handle : handles) {
        metadb_handle_ptr track;
        handle->get_metadb_handle(track);
        tracks.add_item(track);
    }
}

storage_contents read_contents(tagshelf_reader& source) {
    tagshelf_handle_list handles = list_entries(source);
    progress_meter progress("Reading storage contents", handles.get_count());
    storage_contents contents;
    contents.fields.resize(handles.get_count());
    list_t<x_info*> slots;
    slots.reserve(contents.fields.size());
    for (auto& info : contents.fields)
        slots.add_item(&info);
    source.get_info_multi(handles, slots);
    contents.tracks.reserve(handles.get_count());
    for (const auto& handle : handles) {
        metadb_handle_ptr track;
        handle->get_metadb_handle(track);
        contents.tracks.add_item(track);
        progress.advance(contents.tracks.get_count());
    }
    return contents;
}

void write_contents(tagshelf_reader_writer& target, const storage_contents& contents) {
    target.remove_all();
    tagshelf_handle_list handles;
    list_t<const x_info*> infos;
    handles.reserve(contents.tracks.get_count());
    infos.reserve(contents.fields.size());
    progress_meter progress("Copying storage contents", contents.tracks.get_count());
    for (size_t i = 0; i < contents.tracks.get_count(); ++i) {
        progress.advance(i);
        tagshelf_handle_ptr handle;
        target.get_handle(handle, contents.tracks[i]);
        handles.add_item(handle);
        infos.add_item(&contents.fields[i]);
    }
    target.set_info_multi(handles, infos);
}

size_t prune_non_library(tagshelf_reader_writer& writer, moved_files moved,
                         metadb_handle_list* changed) {
    host_ops::single<library_manager>();
    const char* const activity = "Removing entries outside the media library";
    // What goes is listed first and removed afterwards, from the last entry to the
    // first, so that a moved file's entry can look for its new place among the
    // library's tracks before anything changed.
    std::vector<tagshelf_handle*> doomed;
    tagshelf_handle_list handles;
    // The component's own methods are walked in their store, which lists no handle
    // and touches no reference count.
    if (auto* own = dynamic_cast<tagshelf_accessor_plain*>(&writer)) {
        const tagshelf_store& store = own->store();
        progress_meter progress(activity, store.entry_count());
        size_t walked = 0;
        store.visit_entries([&](storage_entry* entry) {
            progress.advance(++walked);
            metadb_handle_ptr track;
            entry->get_metadb_handle(track);
            if (!host_ops::in_media_library(track))
                doomed.push_back(entry);
        });
    } else {
        handles = list_entries(writer);
        progress_meter progress(activity, handles.get_count());
        for (size_t i = 0; i < handles.get_count(); ++i) {
            progress.advance(i);
            metadb_handle_ptr track;
            handles[i]->get_metadb_handle(track);
            if (!host_ops::in_media_library(track))
                doomed.push_back(handles[i].get_ptr());
        }
    }
    if (moved == moved_files::removed)
        return remove_or_follow(writer, doomed, nullptr, changed);
    const missing_file_test is_missing;
    abort_callback_dummy abort;
    moved_file_rules rules;
    rules.gone = [&](const char* path) { return is_missing(path, abort); };
    return remove_or_follow(writer, doomed, &rules, changed);
}

bool missing_file_test::operator()(const char* path, abort_callback& abort) const {
    filesystem* owner = m_filesystems.owner_of(path);
    return owner && !owner->exists(path, abort);
}
