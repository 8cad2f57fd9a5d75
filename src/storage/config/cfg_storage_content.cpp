#include "storage/config/cfg_storage_content.h"

#include "frame/host_ops.h"
#include "storage/accessors.h"
#include "storage/config/config_payload.h"
#include "storage/config/tagshelf_storage_config.h"

void cfg_storage_content::write_data(stream_writer& out, abort_callback& abort) {
    // The hook closes the active storage, which passes the service's switch lock:
    // it runs before the store lock is taken, since a thread holding a store lock
    // never waits for the switch lock (another thread's switch holds that lock
    // while it waits for this store).
    tagshelf_storage::save_hook hook = tagshelf_storage_config::current_save_hook();
    if (hook && host_ops::is_shutting_down())
        hook();
    tagshelf_store& store = tagshelf_storage_config::store();
    store_lock_hold lock(store);
    write_config_payload(store, out, abort);
}

void cfg_storage_content::read_data(stream_reader& in, size_t size_hint, abort_callback& abort) {
    tagshelf_store& store = tagshelf_storage_config::store();
    store_lock_hold lock(store);
    read_config_payload(store, in, size_hint, abort);
}
