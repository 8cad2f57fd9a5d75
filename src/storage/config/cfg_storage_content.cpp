#include "storage/config/cfg_storage_content.h"

#include <mutex>

#include "frame/host_ops.h"
#include "storage/config/config_payload.h"
#include "storage/config/tagshelf_storage_config.h"

void cfg_storage_content::write_data(stream_writer& out, abort_callback& abort) {
    tagshelf_store& store = tagshelf_storage_config::store();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    // The hook runs with the lock held; it may open accessors of this method on
    // this thread, the lock being re-entrant.
    tagshelf_storage::save_hook hook = tagshelf_storage_config::current_save_hook();
    if (hook && host_ops::is_shutting_down())
        hook();
    write_config_payload(store, out, abort);
}

void cfg_storage_content::read_data(stream_reader& in, size_t size_hint, abort_callback& abort) {
    tagshelf_store& store = tagshelf_storage_config::store();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    read_config_payload(store, in, size_hint, abort);
}
