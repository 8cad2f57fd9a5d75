// A storage method: where the fields live between host sessions. Each method
// keeps its whole content in an in-memory store while it is open; the core
// service opens one method at a time and hands out its readers and writers.
// Methods are found only through the host's registry, so another component could
// add one.
#pragma once

#include "sdk/service.h"
#include "service/tagshelf.h"

class tagshelf_storage : public service_base {
public:
    using interface_type = tagshelf_storage;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0xD79B621D, 0xF781, 0x429D, {0xAC, 0x00, 0x80, 0x74, 0x6F, 0xCD, 0xC2, 0x69}};

    // Called by a method that saves with the host's configuration, to close the
    // active storage before the host writes its settings at shut-down.
    using save_hook = void (*)();

    // The label shown in the preferences' list of storage methods.
    virtual const char* get_name() = 0;
    // The method's identity; the configuration stores the chosen method by it.
    virtual const GUID& get_guid() = 0;
    // Loads the medium into the store. Raises std::exception with a message.
    virtual void open(save_hook hook) = 0;
    // Writes what is still unwritten and releases the medium. Raises on failure.
    virtual void close() = 0;
    // A writing accessor; it holds the store lock until released.
    virtual void get_writer(service_ptr_t<tagshelf_reader_writer>& out) = 0;
    // A reading accessor; it holds the store lock until released.
    virtual void get_reader(service_ptr_t<tagshelf_reader>& out) = 0;

protected:
    ~tagshelf_storage() = default;
};
