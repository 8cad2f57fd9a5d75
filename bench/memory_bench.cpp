// What the store costs in memory, counted allocation by allocation rather than
// read from the process's resident size (which an emulator running the 32-bit
// build would distort):
//   - the bytes per entry of a store of a million entries of an 80-byte path with
//     one single-valued field;
//   - the peak of what the component allocates while a switch with copy moves
//     that store from the text file into the configuration method, as a multiple
//     of the store: the switch reads the content out, fills the new store and
//     writes the text file as it closes the old one. The old store stays until
//     the copy is complete, so that a failed copy leaves it whole; what counts
//     is what the switch allocates on top of it. The host's tracks of the
//     entries exist before the switch, as a player's tracks of its library do,
//     so that the host's own allocations are not counted as the component's.
// A 32-bit player has 2 to 4 GB of address space for everything, so the targets
// hold for a 32-bit build; a 64-bit build prints its figures without them.
//
//   memory_bench [--quick] [--entries=N]
//
// Prints "measured CASE: VALUE" and "target CASE: VALUE" lines, which
// bench/run-all puts in its table.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

#include "allocation_counter.h"
#include "bench_host.h"
#include "bench_size.h"
#include "frame/config_vars.h"
#include "service/tagshelf_impl.h"
#include "storage/config/tagshelf_storage_config.h"
#include "storage/store.h"
#include "storage/textfile/tagshelf_storage_textfile.h"

namespace {

constexpr bool narrow_pointers = sizeof(void*) == 4;

void print_figure(const std::string& name, double value, double target) {
    std::printf("measured %s: %.2f\n", name.c_str(), value);
    if (narrow_pointers)
        std::printf("target %s: %.0f\n", name.c_str(), target);
}

}  // namespace

int main(int argc, char** argv) {
    const size_t entries = take_size_option(argc, argv).entries;
    const char* bits = narrow_pointers ? "32-bit" : "64-bit";

    bench_host host(false);
    // Every entry stays in the method the switch copies into: pruning entries
    // outside the media library is not what is measured.
    cfg_library_only = 0;
    host.session().start();
    tagshelf_impl& shelf = tagshelf_impl::instance();
    shelf.switch_storage(tagshelf_storage_textfile::guid, false, false, false);
    tagshelf_store& store = tagshelf_storage_textfile::store();

    const uint64_t before_store = allocated_bytes();
    {
        std::lock_guard<std::recursive_mutex> guard(store.mutex());
        tagshelf_store::bulk_loader loader(store);
        loader.reserve(entries);
        char path[96];
        for (size_t i = 0; i < entries; ++i) {
            // 80 bytes, shaped like a music folder.
            std::snprintf(path, sizeof path,
                          "file:///home/listener/Music/Some Artist %05zu/Album %02zu/%02zu Title "
                          "of the song.flac",
                          i / 100 % 100000, i / 10 % 10, i % 10);
            x_info_impl fields;
            fields.add_value("RATING", std::to_string(i % 5 + 1).c_str());
            loader.add(path, 0, std::move(fields));
        }
        loader.commit();
    }
    const uint64_t store_bytes = allocated_bytes() - before_store;
    if (store.entry_count() != entries) {
        std::fprintf(stderr, "memory_bench: the store holds %zu entries, not %zu\n",
                     store.entry_count(), entries);
        return 1;
    }

    metadb_handle_list tracks;
    tracks.reserve(entries);
    for (storage_entry* entry : store.entries()) {
        metadb_handle_ptr track;
        entry->get_metadb_handle(track);
        tracks.add_item(track);
    }

    reset_peak_bytes();
    const uint64_t before_switch = allocated_bytes();
    shelf.switch_storage(tagshelf_storage_config::method_guid, true, false, false);
    const uint64_t peak = peak_allocated_bytes();
    if (tagshelf_storage_config::store().entry_count() != entries) {
        std::fprintf(stderr, "memory_bench: the switch did not copy every entry\n");
        return 1;
    }

    std::fprintf(stderr,
                 "memory_bench: %zu entries, %s: store %.1f MB, %.1f MB before the switch, "
                 "peak %.1f MB during it\n",
                 entries, bits, store_bytes / 1e6, before_switch / 1e6, peak / 1e6);
    print_figure(std::string("bytes per entry of ") + std::to_string(entries) +
                     " entries, 80-byte path and one field (" + bits + ")",
                 double(store_bytes) / double(entries), 160);
    print_figure(
        std::string("peak the component adds during a switch with copy, in stores (") + bits + ")",
        double(peak - before_switch) / double(store_bytes), 2);
    // Tearing down a million entries and saving them with the host's settings
    // would only cost time: the figures are out, and only the profile goes.
    std::fflush(stdout);
    std::error_code ignored;
    std::filesystem::remove_all(host.profile(), ignored);
    std::_Exit(0);
}
