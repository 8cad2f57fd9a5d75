// The settings stream over arbitrary bytes: every record goes to the component's
// variables (the store of the configuration method and the quick-tag commands
// among them). What the variables then hold is written, read back and written
// again, and the two streams must be equal.
#include "frame/component_client.h"
#include "frame/component_state.h"
#include "fuzz_support.h"
#include "sdk/exceptions.h"

namespace {

std::vector<uint8_t> save() {
    stream_writer_buffer out;
    abort_callback_dummy abort;
    write_settings(out, abort);
    return out.data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    abort_callback_dummy abort;
    // The host tells the damage of a read once, at start; a fuzz run reads
    // again and again, so each input forgets what the one before noted.
    component_state::take_settings_damage();
    stream_reader_memblock in(data, size);
    try {
        read_settings(in, abort);
    } catch (const exception_io&) {
        // A record header cut short ends reading; the host goes on.
    }
    const std::vector<uint8_t> saved = save();
    stream_reader_memblock again(saved.data(), saved.size());
    read_settings(again, abort);
    fuzz_check(save() == saved, "settings read, written, read, written");
    return 0;
}
