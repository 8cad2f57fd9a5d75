// The base of every storage method of this component: one store per method, and
// the locking accessors over it.
#pragma once

#include "storage/accessors.h"
#include "storage/tagshelf_storage.h"

// Tag values give each method its own store.
enum storage_tag { storage_tag_config = 1, storage_tag_sqlite = 2, storage_tag_textfile = 3 };

// A storage method of this component: every accessor it hands out is a
// tagshelf_accessor_plain over the store named here, which the service may read
// through its index instead of asking the accessor entry by entry.
class tagshelf_own_storage : public tagshelf_storage {
public:
    tagshelf_store& own_store() const { return m_store; }

protected:
    explicit tagshelf_own_storage(tagshelf_store& store) : m_store(store) {}

private:
    tagshelf_store& m_store;
};

template <int Tag>
class tagshelf_storage_impl : public tagshelf_own_storage {
public:
    tagshelf_storage_impl() : tagshelf_own_storage(store()) {}

    // This method's store, alive from first use to module unload.
    static tagshelf_store& store() {
        static tagshelf_store instance;
        return instance;
    }

protected:
    static void make_reader(service_ptr_t<tagshelf_reader>& out) {
        out = make_service<tagshelf_accessor_rdlock>(store());
    }
    static void make_writer(service_ptr_t<tagshelf_reader_writer>& out) {
        out = make_service<tagshelf_accessor_wrlock>(store());
    }
};
