// The store lock: while a reader or writer lives, every other thread that wants
// the same store waits, and the holding thread may open more accessors.
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "store_fixture.h"

namespace {

using accessor_maker = std::function<service_ptr_t<tagshelf_reader>(tagshelf_store&)>;

service_ptr_t<tagshelf_reader> make_reader(tagshelf_store& store) {
    return make_service<tagshelf_accessor_rdlock>(store);
}
service_ptr_t<tagshelf_reader> make_writer(tagshelf_store& store) {
    return make_service<tagshelf_accessor_wrlock>(store);
}

TEST(StoreLock, AnAccessorHeldOnOneThreadKeepsEveryOtherThreadWaiting) {
    struct row {
        const char* name;
        accessor_maker held;
        accessor_maker wanted;
    };
    const row rows[] = {
        {"reader keeps writer waiting", make_reader, make_writer},
        {"reader keeps reader waiting", make_reader, make_reader},
        {"writer keeps reader waiting", make_writer, make_reader},
    };
    shared_host();
    metadb_handle_ptr track = host_track("file:///lock.mp3");
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        tagshelf_store store;
        std::atomic<int> step{0};
        std::atomic<bool> asking{false};
        std::atomic<bool> got_in{false};
        int released_at = 0;
        int got_in_at = 0;
        int64_t entries_seen = -1;

        service_ptr_t<tagshelf_reader> held = r.held(store);
        std::thread other([&] {
            asking = true;
            service_ptr_t<tagshelf_reader> wanted = r.wanted(store);
            got_in_at = ++step;
            got_in = true;
            entries_seen = wanted->get_entry_count();
        });
        while (!asking)
            std::this_thread::yield();
        // A lock that failed to hold would let the other thread in within
        // microseconds; a working one never does, however long this waits.
        auto give_up = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
        while (!got_in && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_FALSE(got_in) << "the other thread got in while the accessor was held";

        // Written under the held accessor: the waiting thread must see it.
        auto writer = make_service<tagshelf_accessor_plain>(store);
        tagshelf_handle_ptr h;
        writer->get_handle(h, track);
        writer->add_value(h, "RATING", "5");
        released_at = ++step;
        held.release();
        other.join();
        EXPECT_TRUE(got_in);
        EXPECT_LT(released_at, got_in_at);
        EXPECT_EQ(entries_seen, 1);
    }
}

TEST(StoreLock, OneThreadMayHoldSeveralAccessorsOfAStore) {
    shared_host();
    tagshelf_store store;
    service_ptr_t<tagshelf_reader> reader = make_reader(store);
    service_ptr_t<tagshelf_reader_writer> writer = make_service<tagshelf_accessor_wrlock>(store);
    tagshelf_handle_ptr h;
    writer->get_handle(h, host_track("file:///reentrant.mp3"));
    writer->add_value(h, "RATING", "1");
    EXPECT_EQ(reader->get_entry_count(), 1);
    writer.release();
    reader.release();
    // Both released: another thread gets in.
    std::thread other([&] { EXPECT_EQ(make_reader(store)->get_entry_count(), 1); });
    other.join();
}

TEST(StoreLock, HandlesMayBeTakenAndReleasedOnManyThreadsAtOnce) {
    shared_host();
    tagshelf_store store;
    tagshelf_handle_ptr h;
    make_writer(store)->get_handle(h, host_track("file:///shared.mp3"));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([h] {
            for (int i = 0; i < 20000; ++i) {
                tagshelf_handle_ptr copy = h;
                copy.release();
            }
        });
    }
    for (auto& t : threads)
        t.join();
    // Only this test's reference and the one add_ref below remain.
    EXPECT_EQ(h->service_add_ref(), 2);
    EXPECT_EQ(h->service_release(), 1);
    EXPECT_STREQ(h->get_location().get_path(), "file:///shared.mp3");
}

}  // namespace
