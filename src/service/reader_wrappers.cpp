#include "service/reader_wrappers.h"

#include <absl/container/flat_hash_set.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "frame/host_ops.h"
#include "sdk/utf8.h"
#include "service/handle_wrapper.h"
#include "service/progress_meter.h"
#include "service/report_error.h"
#include "service/storage_contents.h"
#include "storage/accessors.h"
#include "storage/folded_path.h"

namespace {

tagshelf_handle_ptr wrap(metadb_handle_ptr track, tagshelf_handle_ptr storage_handle,
                         uint32_t binding) {
    return make_service<tagshelf_impl::tagshelf_handle_wrapper>(std::move(track),
                                                                std::move(storage_handle), binding);
}

}  // namespace

tagshelf_impl::tagshelf_reader_wrapper::tagshelf_reader_wrapper(
    service_ptr_t<tagshelf_reader> accessor, uint32_t binding, tagshelf_store* own_store)
    : m_accessor(std::move(accessor)), m_own_store(own_store), m_binding(binding) {}

void tagshelf_impl::tagshelf_reader_wrapper::check_current() const {
    if (tagshelf_impl::instance().binding() != m_binding)
        throw std::runtime_error(stale_accessor_message);
}

tagshelf_handle_ptr tagshelf_impl::tagshelf_reader_wrapper::convert(
    const tagshelf_handle_ptr& handle) const {
    // Handles of other origins are refused rather than taken apart.
    auto* wrapper = dynamic_cast<tagshelf_handle_wrapper*>(handle.get_ptr());
    if (!wrapper)
        throw std::invalid_argument("The handle was not obtained from the tagshelf service.");
    return wrapper->storage_handle(m_binding, *m_accessor);
}

tagshelf_handle_list tagshelf_impl::tagshelf_reader_wrapper::convert(
    const list_base_const_t<tagshelf_handle_ptr>& handles) const {
    tagshelf_handle_list converted;
    converted.reserve(handles.get_count());
    for (size_t i = 0, n = handles.get_count(); i < n; ++i)
        converted.add_item(convert(handles[i]));
    return converted;
}

void tagshelf_impl::tagshelf_reader_wrapper::get_handle(tagshelf_handle_ptr& out,
                                                        const metadb_handle_ptr& track) {
    check_current();
    if (!track)
        throw std::invalid_argument("No track was given.");
    tagshelf_handle_ptr storage_handle;
    m_accessor->get_handle(storage_handle, track);
    out = wrap(track, std::move(storage_handle), m_binding);
}

void tagshelf_impl::tagshelf_reader_wrapper::enum_handles(list_base_t<tagshelf_handle_ptr>& out) {
    check_current();
    tagshelf_handle_list found;
    m_accessor->enum_handles(found);
    out.remove_all();
    out.reserve(found.get_count());
    for (const auto& storage_handle : found) {
        metadb_handle_ptr track;
        storage_handle->get_metadb_handle(track);
        out.add_item(wrap(std::move(track), storage_handle, m_binding));
    }
}

bool tagshelf_impl::tagshelf_reader_wrapper::has_info(const tagshelf_handle_ptr& handle) {
    check_current();
    return m_accessor->has_info(convert(handle));
}

void tagshelf_impl::tagshelf_reader_wrapper::get_info(const tagshelf_handle_ptr& handle,
                                                      x_info& out) {
    check_current();
    m_accessor->get_info(convert(handle), out);
}

void tagshelf_impl::tagshelf_reader_wrapper::get_info_multi(
    const list_base_const_t<tagshelf_handle_ptr>& handles, const list_base_const_t<x_info*>& out) {
    check_current();
    m_accessor->get_info_multi(convert(handles), out);
}

bool tagshelf_impl::tagshelf_reader_wrapper::get_value(const tagshelf_handle_ptr& handle,
                                                       const char* name, size_t index,
                                                       string_base& out) {
    check_current();
    return m_accessor->get_value(convert(handle), name, index, out);
}

bool tagshelf_impl::tagshelf_reader_wrapper::get_track_value(const metadb_handle_ptr& track,
                                                             const char* name, size_t index,
                                                             string_base& out) {
    check_current();
    if (!track)
        throw std::invalid_argument("No track was given.");
    if (m_own_store) {
        // Straight from the index: a track without an entry costs no handle.
        const storage_entry* entry = m_own_store->find(track->get_location());
        const char* value = entry ? entry->fields.value_by_name(name, index) : nullptr;
        if (!value)
            return false;
        out.set_string(value);
        return true;
    }
    tagshelf_handle_ptr storage_handle;
    m_accessor->get_handle(storage_handle, track);
    return m_accessor->get_value(storage_handle, name, index, out);
}

tagshelf_impl::tagshelf_reader_wrapper::path_matches
tagshelf_impl::tagshelf_reader_wrapper::find_paths(const path_list& paths) {
    check_current();
    const size_t count = paths.get_count();
    path_matches matches;
    if (m_own_store) {
        // Sought paths equal without regard to case find the same entries, which go
        // to the first of them: the answer of comparing each path in turn. The
        // first entry found identifies a path's entries.
        const tagshelf_store& store = *m_own_store;
        if (count == 1) {
            // One path's entries come in table order already.
            tagshelf_store::path_entries of_path;
            store.find_path(paths[0], of_path);
            matches.reserve(of_path.size());
            for (storage_entry* entry : of_path)
                matches.push_back({entry, 0});
            return matches;
        }
        std::vector<std::pair<storage_entry*, size_t>> found;
        tagshelf_store::path_entries of_path;
        absl::flat_hash_set<const storage_entry*> claimed;
        claimed.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            of_path.clear();
            store.find_path(paths[i], of_path);
            if (of_path.empty() || !claimed.insert(of_path.front()).second)
                continue;
            for (storage_entry* entry : of_path)
                found.emplace_back(entry, i);
        }
        std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
            return tagshelf_store::table_order()(a.first, b.first);
        });
        matches.reserve(found.size());
        for (const auto& [entry, index] : found)
            matches.push_back({entry, index});
        return matches;
    }
    // Lower-cased path -> index of the first sought path that has it.
    std::vector<std::string> folded;
    folded.reserve(count);
    for (size_t i = 0; i < count; ++i)
        folded.emplace_back(folded_path(paths[i]).view());
    std::unordered_map<std::string_view, size_t> first_index;
    first_index.reserve(count);
    for (size_t i = 0; i < count; ++i)
        first_index.emplace(folded[i], i);
    tagshelf_handle_list all;
    m_accessor->enum_handles(all);
    for (const auto& storage_handle : all) {
        const folded_path path(storage_handle->get_location().get_path());
        auto match = first_index.find(path.view());
        if (match != first_index.end())
            matches.push_back({storage_handle, match->second});
    }
    return matches;
}

size_t tagshelf_impl::tagshelf_reader_wrapper::get_value_count(const tagshelf_handle_ptr& handle,
                                                               const char* name) {
    check_current();
    return m_accessor->get_value_count(convert(handle), name);
}

int64_t tagshelf_impl::tagshelf_reader_wrapper::get_entry_count() {
    check_current();
    return m_accessor->get_entry_count();
}

size_t tagshelf_impl::tagshelf_reader_wrapper::get_total_value_count() {
    check_current();
    return m_accessor->get_total_value_count();
}

tagshelf_impl::tagshelf_reader_writer_wrapper::tagshelf_reader_writer_wrapper(
    service_ptr_t<tagshelf_reader_writer> accessor, uint32_t binding, tagshelf_store* own_store)
    : tagshelf_reader_wrapper(accessor, binding, own_store), m_writer(accessor.get_ptr()) {}

tagshelf_impl::tagshelf_reader_writer_wrapper::~tagshelf_reader_writer_wrapper() {
    m_writer = nullptr;
    m_accessor.release();
    try {
        host_ops::refresh_tracks(m_touched);
    } catch (...) {
        report_current_error("Refreshing the changed tracks failed", false);
    }
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::touch(const tagshelf_handle_ptr& handle) {
    metadb_handle_ptr track;
    handle->get_metadb_handle(track);
    if (track)
        m_touched.add_item(track);
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::remove_all() {
    check_current();
    for (const auto& entry : list_entries(*m_writer))
        touch(entry);
    m_writer->remove_all();
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::remove_where(
    const char* activity, const std::function<bool(const playable_location&)>& doomed,
    const moved_file_rules* moved) {
    check_current();
    const tagshelf_handle_list entries = list_entries(*m_writer);
    std::vector<tagshelf_handle*> picked;
    {
        progress_meter progress(activity, entries.get_count());
        for (size_t i = 0; i < entries.get_count(); ++i) {
            progress.advance(i);
            if (doomed(entries[i]->get_location()))
                picked.push_back(entries[i].get_ptr());
        }
    }
    remove_or_follow(*m_writer, picked, moved, &m_touched);
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::set_info(const tagshelf_handle_ptr& handle,
                                                             const x_info& info) {
    check_current();
    tagshelf_handle_ptr storage_handle = convert(handle);
    touch(handle);
    m_writer->set_info(storage_handle, info);
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::set_info_multi(
    const list_base_const_t<tagshelf_handle_ptr>& handles,
    const list_base_const_t<const x_info*>& infos) {
    check_current();
    tagshelf_handle_list storage_handles = convert(handles);
    for (size_t i = 0, n = handles.get_count(); i < n; ++i)
        touch(handles[i]);
    m_writer->set_info_multi(storage_handles, infos);
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::copy_info(const tagshelf_handle_ptr& source,
                                                              const tagshelf_handle_ptr& target) {
    check_current();
    tagshelf_handle_ptr from = convert(source);
    tagshelf_handle_ptr to = convert(target);
    touch(target);
    m_writer->copy_info(from, to);
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::remove_info(const tagshelf_handle_ptr& handle) {
    check_current();
    tagshelf_handle_ptr storage_handle = convert(handle);
    touch(handle);
    m_writer->remove_info(storage_handle);
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::add_value(const tagshelf_handle_ptr& handle,
                                                              const char* name, const char* value) {
    check_current();
    tagshelf_handle_ptr storage_handle = convert(handle);
    touch(handle);
    m_writer->add_value(storage_handle, name, value);
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::remove_field(const tagshelf_handle_ptr& handle,
                                                                 const char* name) {
    check_current();
    tagshelf_handle_ptr storage_handle = convert(handle);
    touch(handle);
    m_writer->remove_field(storage_handle, name);
}

void tagshelf_impl::tagshelf_reader_writer_wrapper::set_value(const tagshelf_handle_ptr& handle,
                                                              const char* name, const char* value) {
    check_current();
    tagshelf_handle_ptr storage_handle = convert(handle);
    touch(handle);
    m_writer->set_value(storage_handle, name, value);
}
