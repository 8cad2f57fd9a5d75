// An example component by another author: it reads the RATING field through the
// public tagshelf service and shows it as stars, in a title-formatting field of its
// own: %stars% gives "★★★☆☆" for a track rated 3.
//
// Build it like any component (a shared library exporting sonarith_get_interface)
// and load it with:  sonarith-host --component PATH/star_rating.so format '%stars%' TRACK
#include <cstdlib>
#include <cstring>
#include <string>

#include "sdk/component.h"
#include "sdk/host_access.h"
#include "sdk/titleformat.h"
#include "service/tagshelf.h"

namespace {

// The input type this component tags its text with.
constexpr GUID star_input_type = {
    0x5B0F3E55, 0x8D1C, 0x4C43, {0x9B, 0x36, 0x41, 0x27, 0x1A, 0xE2, 0x0F, 0x6D}};

// The rating of a track from the tagshelf service: 0 to 5, or -1 when it has none.
int read_rating(metadb_handle* track) {
    service_ptr_t<tagshelf> shelf = service_find_first<tagshelf>();
    service_ptr_t<tagshelf_reader> reader;
    if (!shelf.is_valid() || !shelf->get_reader(reader))
        return -1;  // no storage active
    tagshelf_handle_ptr handle;
    reader->get_handle(handle, metadb_handle_ptr(track));
    string8 value;
    if (!reader->get_value(handle, "RATING", 0, value))
        return -1;
    int rating = std::atoi(value.get_ptr());
    return rating < 0 ? 0 : (rating > 5 ? 5 : rating);
}  // the reader is released here, and with it the storage lock

class star_display_hook : public metadb_display_hook {
public:
    bool resolve_field(metadb_handle* track, titleformat_text_out* out, const char* name,
                       size_t name_length, bool& found) override {
        if (name_length != 5 || std::strncmp(name, "stars", 5) != 0)
            return false;
        try {
            int rating = read_rating(track);
            if (rating < 0)
                return false;
            std::string stars;
            for (int i = 0; i < 5; ++i)
                stars += i < rating ? "\u2605" : "\u2606";
            out->write(star_input_type, stars.data(), stars.size());
            found = true;
            return true;
        } catch (const std::exception&) {
            return false;  // a storage failure shows no stars rather than stopping the host
        }
    }
    bool resolve_function(metadb_handle*, titleformat_text_out*, const char*, size_t,
                          titleformat_hook_function_params*, bool&) override {
        return false;
    }
};

service_factory_base* g_chain = nullptr;

class hook_factory final : public service_factory_base {
public:
    hook_factory() : service_factory_base(metadb_display_hook::class_guid, g_chain) {}
    void instance_create(service_ptr_t<service_base>& out) override {
        out = static_cast<metadb_display_hook*>(&m_hook);
    }

private:
    service_impl_single_t<star_display_hook> m_hook;
};

hook_factory g_hook_factory;

class star_client final : public component_client {
public:
    uint32_t get_version() override { return component_client_version; }
    service_factory_base* get_service_list() override { return g_chain; }
    void get_config(stream_writer*, abort_callback&) override {}
    void set_config(stream_reader*, abort_callback&) override {}
    void set_library_path(const char*, const char*) override {}
    void services_init(bool) override {}
    bool is_debug() override { return false; }
};

star_client g_client;

}  // namespace

extern "C" SONARITH_EXPORT component_client* sonarith_get_interface(host_api* api,
                                                                    module_instance) {
    sdk_set_host(api);
    return &g_client;
}
