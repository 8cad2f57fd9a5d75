// What a large store costs in memory: a million entries of a usual path with one
// short field must stay within 256 bytes each with glibc's allocator, measured as
// the growth of resident memory once the loading's own buffers are freed.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "store_fixture.h"
#include "support/process_memory.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

TEST(StoreMemory, AMillionEntriesTakeAtMost256BytesEach) {
    if (sanitized)
        GTEST_SKIP() << "sanitizers add their own bookkeeping to every allocation";
    constexpr size_t entries = 1'000'000;
    shared_host();
    release_free_memory();
    const size_t before = resident_bytes();
    if (before == 0)
        GTEST_SKIP() << "this system does not report resident memory";

    tagshelf_store store;
    {
        tagshelf_store::bulk_loader loader(store);
        loader.reserve(entries);
        char path[96];
        for (size_t i = 0; i < entries; ++i) {
            // 80 bytes, shaped like a music folder.
            std::snprintf(path, sizeof path,
                          "file:///home/listener/Music/Some Artist %05zu/Album %02zu/%02zu Title "
                          "of a song.flac",
                          i / 100, i / 10 % 10, i % 10);
            x_info_impl fields;
            fields.add_value("RATING", std::to_string(i % 5 + 1).c_str());
            loader.add(path, 0, std::move(fields));
        }
        loader.commit();
    }
    release_free_memory();
    const double per_entry = double(resident_bytes() - before) / entries;
    RecordProperty("bytes_per_entry", std::to_string(per_entry));
    ASSERT_EQ(store.entry_count(), entries);
    // Each entry's packed field is a small block of its own; another allocator
    // may take more for it than glibc's.
    EXPECT_LE(per_entry, 256.0 + double(small_block_extra_bytes()));
}

}  // namespace
