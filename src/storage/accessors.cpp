#include "storage/accessors.h"

namespace {
thread_local unsigned t_store_locks_held = 0;
}  // namespace

store_lock_hold::store_lock_hold(tagshelf_store& store) : m_store(store) {
    m_store.mutex().lock();
    ++t_store_locks_held;
}

store_lock_hold::~store_lock_hold() {
    --t_store_locks_held;
    m_store.mutex().unlock();
}

bool store_lock_hold::held_by_this_thread() {
    return t_store_locks_held != 0;
}

void tagshelf_accessor_plain::get_handle(tagshelf_handle_ptr& out, const metadb_handle_ptr& track) {
    out = m_store.get_handle(track->get_location());
}

void tagshelf_accessor_plain::enum_handles(list_base_t<tagshelf_handle_ptr>& out) {
    out.reserve(out.get_count() + m_store.entry_count());
    for (storage_entry* entry : m_store.entries())
        out.add_item(entry);
}

bool tagshelf_accessor_plain::has_info(const tagshelf_handle_ptr& handle) {
    return !entry_of(handle).fields.empty();
}

void tagshelf_accessor_plain::get_info(const tagshelf_handle_ptr& handle, x_info& out) {
    out.copy_from(packed_fields::view(entry_of(handle).fields));
}

void tagshelf_accessor_plain::get_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                                             const list_base_const_t<x_info*>& out) {
    for (size_t i = 0, n = handles.get_count(); i < n; ++i)
        get_info(handles[i], *out[i]);
}

bool tagshelf_accessor_plain::get_value(const tagshelf_handle_ptr& handle, const char* name,
                                        size_t index, string_base& out) {
    const char* value = entry_of(handle).fields.value_by_name(name, index);
    if (!value)
        return false;
    out.set_string(value);
    return true;
}

size_t tagshelf_accessor_plain::get_value_count(const tagshelf_handle_ptr& handle,
                                                const char* name) {
    return entry_of(handle).fields.value_count_by_name(name);
}

int64_t tagshelf_accessor_plain::get_entry_count() {
    return int64_t(m_store.entry_count());
}

size_t tagshelf_accessor_plain::get_total_value_count() {
    return m_store.total_value_count();
}

void tagshelf_accessor_plain::remove_all() {
    m_store.remove_all();
}

void tagshelf_accessor_plain::set_info(const tagshelf_handle_ptr& handle, const x_info& info) {
    storage_entry& entry = entry_of(handle);
    m_store.attach(entry);
    // Packing builds the new block before it lets go of the old one, so a source
    // that reads this very entry is safe.
    entry.fields.assign(info);
}

void tagshelf_accessor_plain::set_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                                             const list_base_const_t<const x_info*>& infos) {
    for (size_t i = 0, n = handles.get_count(); i < n; ++i)
        set_info(handles[i], *infos[i]);
}

void tagshelf_accessor_plain::copy_info(const tagshelf_handle_ptr& source,
                                        const tagshelf_handle_ptr& target) {
    storage_entry& from = entry_of(source);
    storage_entry& to = entry_of(target);
    if (&from == &to)
        return;
    m_store.attach(to);
    to.fields.assign(from.fields);
}

void tagshelf_accessor_plain::remove_info(const tagshelf_handle_ptr& handle) {
    m_store.remove(entry_of(handle));
}

void tagshelf_accessor_plain::add_value(const tagshelf_handle_ptr& handle, const char* name,
                                        const char* value) {
    storage_entry& entry = entry_of(handle);
    m_store.attach(entry);
    x_info_impl fields = entry.fields.unpack();
    fields.add_value(name, value);
    entry.fields.assign(fields);
}

void tagshelf_accessor_plain::remove_field(const tagshelf_handle_ptr& handle, const char* name) {
    storage_entry& entry = entry_of(handle);
    if (entry.fields.value_count_by_name(name) == 0)
        return;
    x_info_impl fields = entry.fields.unpack();
    fields.remove_field(name);
    entry.fields.assign(fields);
}

void tagshelf_accessor_plain::set_value(const tagshelf_handle_ptr& handle, const char* name,
                                        const char* value) {
    storage_entry& entry = entry_of(handle);
    m_store.attach(entry);
    x_info_impl fields = entry.fields.unpack();
    fields.set_value(name, text_to_terminator, value, text_to_terminator);
    entry.fields.assign(fields);
}
