// The storage method that keeps the fields inside the host's own configuration.
// It owns no file: the host loads the store with the component's settings and
// saves it with them, so opening only remembers the save hook and closing does
// nothing.
#pragma once

#include "sdk/service.h"
#include "storage/storage_impl.h"

class tagshelf_storage_config : public tagshelf_storage_impl<storage_tag_config> {
public:
    static constexpr GUID method_guid = {
        0x99F8068B, 0x28CF, 0x4C3C, {0x81, 0xAB, 0x09, 0xD8, 0x46, 0x47, 0xA5, 0xF7}};

    const char* get_name() override { return "Sonarith config file"; }
    const GUID& get_guid() override { return method_guid; }
    // Remembers `hook` (replacing an earlier one; null clears it). The store is
    // left as the host's configuration loaded it.
    void open(save_hook hook) override;
    // Nothing to write or release: the store keeps its content for the next save.
    void close() override {}
    void get_writer(service_ptr_t<tagshelf_reader_writer>& out) override { make_writer(out); }
    void get_reader(service_ptr_t<tagshelf_reader>& out) override { make_reader(out); }

    // The hook given to the last open, or null before the first.
    static save_hook current_save_hook();
};

// The registered instance.
service_impl_single_t<tagshelf_storage_config>& tagshelf_storage_config_instance();
