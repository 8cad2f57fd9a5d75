#include "host/titleformat/track_formatter.h"

#include "host/titleformat/compiled_script.h"
#include "host/titleformat/script_evaluator.h"

track_formatter make_track_formatter(const service_registry& registry) {
    return [&registry](metadb_handle* track, titleformat_hook* hook, string_base& out,
                       const service_ptr_t<titleformat_object>& script) {
        auto* compiled = dynamic_cast<const compiled_script*>(script.get_ptr());
        if (!compiled)
            return false;
        try {
            display_hook_list display_hooks = registry.all<metadb_display_hook>();
            std::string text =
                script_evaluator(track, hook, display_hooks).format(compiled->tree());
            out.set_string(text.data(), text.size());
            return true;
        } catch (...) {
            return false;
        }
    };
}
