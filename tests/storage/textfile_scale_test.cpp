// A large store is written and read back in time that grows with its size, not
// with its square.
#include <ctime>

#include "storage/textfile_fixture.h"

namespace {

using TextFileScale = TextFileStorageTest;

// The sanitizer builds are unoptimised and instrumented: writing and reading a
// million entries there costs about eleven times what it costs in the release
// build, so the fixed bound grows by a little more than that.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr double sanitizer_slowdown = 15;
#else
constexpr double sanitizer_slowdown = 1;
#endif

// Fills the open storage with `entries` entries of two fields each, closes it
// (writing the file), opens it again and answers the seconds both took by the C
// clock: processor time on POSIX, which keeps the comparison fair on a machine
// that other work keeps busy. On Windows it counts wall time in 1 ms steps, which
// is kept: the process's own times advance there in 10 ms ticks (as Wine counts
// them), and the small case takes about one tick.
double write_and_read(tagshelf_store& store, tagshelf_storage_textfile& storage, size_t entries) {
    storage.open(nullptr);
    {
        tagshelf_store::bulk_loader loader(store);
        loader.reserve(entries);
        for (size_t i = 0; i < entries; ++i) {
            x_info_impl fields;
            fields.add_value("RATING", std::to_string(i % 6).c_str());
            fields.add_value("PLAYED", "2026-12-08 19:30:00");
            loader.add("file:///music/artist " + std::to_string(i % 997) + "/track " +
                           std::to_string(i) + ".flac",
                       uint32_t(i % 3), std::move(fields));
        }
        loader.commit();
    }
    std::clock_t started = std::clock();
    storage.close();
    storage.open(nullptr);
    double took = double(std::clock() - started) / CLOCKS_PER_SEC;
    EXPECT_EQ(store.entry_count(), entries);
    EXPECT_EQ(store.total_value_count(), 2 * entries);
    storage.close();
    return took;
}

TEST_F(TextFileScale, AMillionEntriesAreWrittenAndReadBackInSeconds) {
    double small = write_and_read(store(), storage(), 10000);
    double large = write_and_read(store(), storage(), 1000000);
    RecordProperty("seconds_for_10000", std::to_string(small));
    RecordProperty("seconds_for_1000000", std::to_string(large));
    // A hundred times the entries may cost a hundred times the time, with twenty
    // times that to spare; a cost that grows with the square would need ten
    // thousand times.
    EXPECT_LT(large, 20 * 100 * small);
    EXPECT_LT(large, 60.0 * sanitizer_slowdown);
}

}  // namespace
