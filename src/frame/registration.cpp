// Every service this component registers, in registration order. Each factory
// links itself at the head of the chain as it is constructed (in the order of
// definition within this file), so the host meets the last one first.
#include "frame/component_version.h"
#include "frame/service_factory.h"
#include "prefs/my_preferences_page.h"
#include "quicktag/contextmenu_quicktag.h"
#include "service/my_initquit.h"
#include "service/tagshelf_impl.h"
#include "storage/config/tagshelf_storage_config.h"
#include "storage/sqlite/tagshelf_storage_sqlite.h"
#include "storage/textfile/tagshelf_storage_textfile.h"
#include "titleformat/display_hook.h"
#include "tracking/file_operation_callback.h"

service_factory_base*& service_factory_chain() {
    static service_factory_base* head = nullptr;
    return head;
}

namespace {
service_factory_single_t<service_impl_single_t<contextmenu_quicktag>> g_contextmenu_factory(
    contextmenu_quicktag_instance());
service_factory_single_t<service_impl_single_t<my_preferences_page>> g_preferences_page_factory(
    my_preferences_page_instance());
service_factory_single_t<service_impl_single_t<tagshelf_display_hook>> g_display_hook_factory(
    tagshelf_display_hook::instance());
service_factory_single_t<tagshelf_impl> g_tagshelf_factory(tagshelf_impl::instance());
service_factory_single_t<my_initquit> g_initquit_factory(my_initquit::instance());
service_factory_single_t<service_impl_single_t<my_file_operation_callback>>
    g_file_operation_factory(my_file_operation_callback::instance());
service_factory_single_t<service_impl_single_t<componentversion_impl_simple>> g_version_factory(
    component_version_record());
service_factory_single_t<service_impl_single_t<tagshelf_storage_config>> g_config_storage_factory(
    tagshelf_storage_config_instance());
service_factory_single_t<service_impl_single_t<tagshelf_storage_sqlite>> g_sqlite_storage_factory(
    tagshelf_storage_sqlite_instance());
service_factory_single_t<service_impl_single_t<tagshelf_storage_textfile>>
    g_textfile_storage_factory(tagshelf_storage_textfile_instance());
}  // namespace
