#include "service/storage_contents.h"

#include "frame/host_ops.h"
#include "sdk/file.h"
#include "sdk/host_access.h"
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

void prune_non_library(tagshelf_reader_writer& writer) {
    host_ops::single<library_manager>();
    const char* const activity = "Removing entries outside the media library";
    // The component's own methods are walked in their store, which lists no handle
    // and touches no reference count; what goes is removed afterwards, from the
    // last entry to the first, as the walk over a listing does.
    if (auto* own = dynamic_cast<tagshelf_accessor_plain*>(&writer)) {
        const tagshelf_store& store = own->store();
        progress_meter progress(activity, store.entry_count());
        std::vector<storage_entry*> doomed;
        size_t walked = 0;
        store.visit_entries([&](storage_entry* entry) {
            progress.advance(++walked);
            metadb_handle_ptr track;
            entry->get_metadb_handle(track);
            if (!host_ops::in_media_library(track))
                doomed.push_back(entry);
        });
        for (size_t i = doomed.size(); i-- > 0;)
            writer.remove_info(doomed[i]);
        return;
    }
    tagshelf_handle_list handles = list_entries(writer);
    progress_meter progress(activity, handles.get_count());
    for (size_t i = handles.get_count(); i-- > 0;) {
        progress.advance(handles.get_count() - i);
        metadb_handle_ptr track;
        handles[i]->get_metadb_handle(track);
        if (!host_ops::in_media_library(track))
            writer.remove_info(handles[i]);
    }
}

bool missing_file_test::operator()(const char* path, abort_callback& abort) const {
    filesystem* owner = m_filesystems.owner_of(path);
    return owner && !owner->exists(path, abort);
}
