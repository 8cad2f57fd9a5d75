// The host's title-formatting compiler and evaluator over arbitrary scripts, with
// the component's fields and $shelf functions answering: a track with fields of
// one and of several values is formatted with every script that compiles.
#include "sdk/titleformat.h"
#include "fuzz_support.h"
#include "service/tagshelf_impl.h"
#include "storage/config/tagshelf_storage_config.h"

namespace {

struct formatting {
    service_ptr_t<titleformat_compiler> compiler;
    metadb_handle_ptr track;
    metadb_handle_ptr bare;

    formatting() {
        host_session& host = fuzz_host();
        compiler = host.registry().all<titleformat_compiler>().front();
        track = host.tracks().track(
            playable_location_impl("file://" + host.profile_directory() + "/a.mp3", 0));
        bare = host.tracks().track(
            playable_location_impl("file://" + host.profile_directory() + "/b.mp3", 1));
        tagshelf_impl& shelf = tagshelf_impl::instance();
        shelf.switch_storage(tagshelf_storage_config::method_guid, false, true, false);
        service_ptr_t<tagshelf_reader_writer> writer;
        if (!shelf.get_writer(writer))
            std::abort();
        tagshelf_handle_ptr handle;
        writer->get_handle(handle, track);
        writer->set_value(handle, "RATING", "4");
        writer->add_value(handle, "MOOD", "calm");
        writer->add_value(handle, "MOOD", "sad");
        writer->add_value(handle, "MOOD", "");
        writer->set_value(handle, "", "nameless");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static formatting setup;
    const std::string script(reinterpret_cast<const char*>(data), size);
    service_ptr_t<titleformat_object> compiled;
    if (!setup.compiler->compile(compiled, script.c_str()) || !compiled)
        return 0;
    string8 out;
    setup.track->format_title(nullptr, out, compiled);
    setup.bare->format_title(nullptr, out, compiled);
    return 0;
}
