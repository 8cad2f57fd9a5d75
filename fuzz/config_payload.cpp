// The configuration method's payload over arbitrary bytes. Whatever was loaded,
// in full or up to a damaged record, is written back and must load again to the
// same store and the same bytes.
#include "storage/config/config_payload.h"
#include "fuzz_support.h"
#include "sdk/exceptions.h"

namespace {

std::vector<uint8_t> save(const tagshelf_store& store) {
    stream_writer_buffer out;
    abort_callback_dummy abort;
    write_config_payload(store, out, abort);
    return out.data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    abort_callback_dummy abort;
    tagshelf_store first;
    stream_reader_memblock in(data, size);
    try {
        read_config_payload(first, in, size, abort);
    } catch (const exception_io_data&) {
        // The records read before the damage stay, and must save and load too.
    }
    const std::vector<uint8_t> saved = save(first);
    tagshelf_store second;
    stream_reader_memblock again(saved.data(), saved.size());
    read_config_payload(second, again, saved.size(), abort);
    fuzz_check(describe(first) == describe(second), "payload load, save, load");
    fuzz_check(save(second) == saved, "payload saved twice");
    return 0;
}
