// A storage method of the tests' own, registered in the test host's registry like
// any other method. Its medium is a list of records in memory: open loads it into
// the method's store, close writes the store back and empties it. Each step can be
// told to fail, and every call is counted.
#pragma once

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "storage/storage_impl.h"
#include "storage/x_info.h"
#include "support/test_host.h"

struct test_record {
    std::string path;
    uint32_t subsong = 0;
    x_info_impl fields;
};

// What a method's writer does wrong on request.
struct writer_faults {
    std::atomic<bool> get_handle{false};
    std::atomic<bool> remove_all{false};
    std::atomic<bool> remove_info{false};
};

// A writer whose operations can be made to raise.
class faulty_writer : public tagshelf_accessor_wrlock {
public:
    faulty_writer(tagshelf_store& store, writer_faults& faults)
        : tagshelf_accessor_wrlock(store), m_faults(faults) {}
    void get_handle(tagshelf_handle_ptr& out, const metadb_handle_ptr& track) override {
        if (m_faults.get_handle)
            throw std::runtime_error("no handles today");
        tagshelf_accessor_wrlock::get_handle(out, track);
    }
    void remove_all() override {
        if (m_faults.remove_all)
            throw std::runtime_error("cannot remove all");
        tagshelf_accessor_wrlock::remove_all();
    }
    void remove_info(const tagshelf_handle_ptr& handle) override {
        if (m_faults.remove_info)
            throw std::runtime_error("cannot remove");
        tagshelf_accessor_wrlock::remove_info(handle);
    }

private:
    writer_faults& m_faults;
};

template <int Tag>
class test_storage_method : public tagshelf_storage_impl<Tag> {
public:
    using base = tagshelf_storage_impl<Tag>;

    test_storage_method(const GUID& guid, const char* name) : m_guid(guid), m_name(name) {}

    const char* get_name() override { return m_name; }
    const GUID& get_guid() override { return m_guid; }

    void open(tagshelf_storage::save_hook hook) override {
        ++opens;
        received_hook = hook;
        if (!fail_open.empty())
            throw std::runtime_error(fail_open);
        std::lock_guard<std::recursive_mutex> guard(base::store().mutex());
        tagshelf_store::bulk_loader loader(base::store());
        for (const auto& record : medium)
            loader.add(record.path, record.subsong, record.fields);
        loader.commit();
    }
    void close() override {
        ++closes;
        if (fail_close)
            throw std::runtime_error("cannot close");
        std::lock_guard<std::recursive_mutex> guard(base::store().mutex());
        medium.clear();
        for (const auto& entry : base::store().entries())
            medium.push_back({std::string(entry->location.path()), entry->location.get_subsong(),
                              entry->fields.unpack()});
        base::store().remove_all();
    }
    void get_writer(service_ptr_t<tagshelf_reader_writer>& out) override {
        if (null_accessors)
            return;
        if (fail_accessors || fail_writers)
            throw std::runtime_error("store is locked out");
        out = make_service<faulty_writer>(base::store(), faults);
    }
    void get_reader(service_ptr_t<tagshelf_reader>& out) override {
        if (null_accessors)
            return;
        if (fail_accessors)
            throw std::runtime_error("store is locked out");
        base::make_reader(out);
    }

    // Puts a record for `track` with one field into the medium.
    void put(const metadb_handle_ptr& track, const char* name, const char* value) {
        test_record record{
            track->get_location().get_path(), track->get_location().get_subsong(), {}};
        record.fields.add_value(name, value);
        medium.push_back(std::move(record));
    }
    // Registers this method with the host, after the component's own methods.
    void register_with(host_session& session) {
        session.registry().add_service(tagshelf_storage::class_guid,
                                       service_ptr_t<service_base>(this));
    }

    std::vector<test_record> medium;
    std::atomic<int> opens{0};
    std::atomic<int> closes{0};
    tagshelf_storage::save_hook received_hook = nullptr;
    std::string fail_open;
    bool fail_close = false;
    std::atomic<bool> null_accessors{false};
    std::atomic<bool> fail_accessors{false};
    std::atomic<bool> fail_writers{false};
    writer_faults faults;

private:
    const GUID m_guid;
    const char* m_name;
};

// Two methods of the tests, as static service objects like the component's own.
using method_a_t = service_impl_single_t<test_storage_method<90>>;
using method_b_t = service_impl_single_t<test_storage_method<91>>;
inline constexpr GUID method_a_guid = {
    0x6A1E0C4B, 0x1F2D, 0x4E5A, {0x9B, 0x01, 0x11, 0x22, 0x33, 0x44, 0x55, 0xA0}};
inline constexpr GUID method_b_guid = {
    0x6A1E0C4B, 0x1F2D, 0x4E5A, {0x9B, 0x01, 0x11, 0x22, 0x33, 0x44, 0x55, 0xB0}};

// A storage method as another component would write one: not built on this
// component's method base, so the service reaches its entries only through the
// accessors' interface, listing them where it would search its own index.
class foreign_storage_method : public tagshelf_storage {
public:
    static constexpr GUID method_guid = {
        0x6A1E0C4B, 0x1F2D, 0x4E5A, {0x9B, 0x01, 0x11, 0x22, 0x33, 0x44, 0x55, 0xC0}};

    const char* get_name() override { return "Foreign method"; }
    const GUID& get_guid() override { return method_guid; }
    void open(save_hook) override {}
    void close() override {
        std::lock_guard<std::recursive_mutex> guard(m_store.mutex());
        m_store.remove_all();
    }
    void get_writer(service_ptr_t<tagshelf_reader_writer>& out) override {
        out = make_service<tagshelf_accessor_wrlock>(m_store);
    }
    void get_reader(service_ptr_t<tagshelf_reader>& out) override {
        out = make_service<tagshelf_accessor_rdlock>(m_store);
    }
    void register_with(host_session& session) {
        session.registry().add_service(tagshelf_storage::class_guid,
                                       service_ptr_t<service_base>(this));
    }

private:
    tagshelf_store m_store;
};
