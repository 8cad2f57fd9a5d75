// Readers and writers of one store. The plain accessor works without locking and
// serves a method's own loading code; the locking accessors hold the store lock
// from creation to their last release.
#pragma once

#include <mutex>

#include "storage/store.h"

class tagshelf_accessor_plain : public tagshelf_reader_writer {
public:
    explicit tagshelf_accessor_plain(tagshelf_store& store) : m_store(store) {}

    void get_handle(tagshelf_handle_ptr& out, const metadb_handle_ptr& track) override;
    // Appends (does not empty `out` first).
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

    void remove_all() override;
    void set_info(const tagshelf_handle_ptr& handle, const x_info& info) override;
    void set_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                        const list_base_const_t<const x_info*>& infos) override;
    void copy_info(const tagshelf_handle_ptr& source, const tagshelf_handle_ptr& target) override;
    void remove_info(const tagshelf_handle_ptr& handle) override;
    void add_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) override;
    void remove_field(const tagshelf_handle_ptr& handle, const char* name) override;
    void set_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) override;

    // The store this accessor works on, for the component's own paths that find
    // entries through its index.
    tagshelf_store& store() { return m_store; }

protected:
    // Handles passed in are this store's own entries.
    static storage_entry& entry_of(const tagshelf_handle_ptr& handle) {
        return static_cast<storage_entry&>(*handle);
    }

private:
    tagshelf_store& m_store;
};

// Takes the store lock when created and releases it when destroyed.
class tagshelf_accessor_rdlock : public tagshelf_accessor_plain {
public:
    explicit tagshelf_accessor_rdlock(tagshelf_store& store) : tagshelf_accessor_plain(store) {
        store.mutex().lock();
    }
    ~tagshelf_accessor_rdlock() { store().mutex().unlock(); }
};

class tagshelf_accessor_wrlock : public tagshelf_accessor_plain {
public:
    explicit tagshelf_accessor_wrlock(tagshelf_store& store) : tagshelf_accessor_plain(store) {
        store.mutex().lock();
    }
    ~tagshelf_accessor_wrlock() { store().mutex().unlock(); }
};
