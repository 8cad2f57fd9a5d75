// The text file's loader over arbitrary bytes. A file that loads is written back
// and must load again to the same store; nothing may crash, leak or raise anything
// but the loader's own format errors.
#include <stdexcept>

#include "fuzz_support.h"
#include "storage/textfile/textfile_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tagshelf_store first;
    auto source = make_service<memory_file>(data, size);
    try {
        textfile_format::load(*source, first);
    } catch (const std::runtime_error&) {
        return 0;
    }
    auto saved = make_service<memory_file>();
    bool complete = true;
    textfile_format::write(*saved, first, [&](const std::string&) { complete = false; });
    tagshelf_store second;
    auto again = make_service<memory_file>(saved->bytes().data(), saved->bytes().size());
    textfile_format::load(*again, second);
    if (complete)
        fuzz_check(describe(first) == describe(second), "text file load, save, load");
    return 0;
}
