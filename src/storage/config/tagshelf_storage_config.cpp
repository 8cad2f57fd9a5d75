#include "storage/config/tagshelf_storage_config.h"

#include <atomic>

namespace {

// Set by open on whichever thread switches storage, read by the host's
// configuration save on its own thread.
std::atomic<tagshelf_storage::save_hook> g_save_hook{nullptr};

}  // namespace

void tagshelf_storage_config::open(save_hook hook) {
    g_save_hook.store(hook);
}

tagshelf_storage::save_hook tagshelf_storage_config::current_save_hook() {
    return g_save_hook.load();
}

service_impl_single_t<tagshelf_storage_config>& tagshelf_storage_config_instance() {
    static service_impl_single_t<tagshelf_storage_config> instance;
    return instance;
}
