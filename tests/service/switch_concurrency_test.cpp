// Readers and writers on several threads while another thread keeps switching the
// storage: nothing crashes, no handle is read through a storage it does not belong
// to, and no reader handed out ever fails.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "frame/host_ops.h"
#include "sdk/titleformat.h"
#include "service_test_host.h"

namespace {

constexpr int track_count = 8;

std::string track_name(int i) {
    return "track" + std::to_string(i) + ".mp3";
}

TEST(SwitchConcurrency, ReadersOnOtherThreadsNeverSeeAHandleOfAnotherStorage) {
    service_test_host host;
    std::vector<metadb_handle_ptr> tracks;
    for (int i = 0; i < track_count; ++i) {
        tracks.push_back(host.track(track_name(i)));
        method_a.put(tracks.back(), "SOURCE", "A");
        method_b.put(tracks.back(), "SOURCE", "B");
    }
    host.start(method_a_guid);

    // Handles taken once and kept across every switch, as a display would keep them.
    std::vector<tagshelf_handle_ptr> kept(track_count);
    {
        service_ptr_t<tagshelf_reader> reader;
        ASSERT_TRUE(host.shelf().get_reader(reader));
        for (int i = 0; i < track_count; ++i)
            reader->get_handle(kept[size_t(i)], tracks[size_t(i)]);
    }

    std::atomic<bool> switching{true};
    std::atomic<int> reads{0};
    std::atomic<int> failures{0};
    std::vector<std::string> problems(4);
    auto reader_loop = [&](size_t me) {
        // Handles this thread made with an earlier reader, perhaps while a switch
        // was under way.
        std::vector<tagshelf_handle_ptr> own(track_count);
        while (switching) {
            try {
                service_ptr_t<tagshelf_reader> reader;
                if (!host.shelf().get_reader(reader)) {
                    problems[me] = "no reader was handed out";
                    ++failures;
                    continue;
                }
                // Every kept handle, every handle of an earlier reader and every
                // fresh one must give this reader's storage, the same for all tracks.
                std::string seen;
                for (int i = 0; i < track_count; ++i) {
                    tagshelf_handle_ptr fresh;
                    reader->get_handle(fresh, tracks[size_t(i)]);
                    if (!own[size_t(i)])
                        own[size_t(i)] = fresh;
                    for (const auto* handle : {&kept[size_t(i)], &own[size_t(i)], &fresh}) {
                        string8 value;
                        if (!reader->get_value(*handle, "SOURCE", 0, value)) {
                            problems[me] = "a value went missing";
                            ++failures;
                        } else if (seen.empty()) {
                            seen = value.str();
                        } else if (seen != value.str()) {
                            problems[me] = "one reader saw two storages";
                            ++failures;
                        }
                    }
                    own[size_t(i)] = fresh;
                }
                ++reads;
            } catch (const std::exception& error) {
                problems[me] = error.what();
                ++failures;
            }
        }
    };
    auto writer_loop = [&](size_t me) {
        int round = 0;
        while (switching) {
            try {
                service_ptr_t<tagshelf_reader_writer> writer;
                if (!host.shelf().get_writer(writer)) {
                    problems[me] = "no writer was handed out";
                    ++failures;
                    continue;
                }
                writer->set_value(kept[size_t(round % track_count)], "ROUND",
                                  std::to_string(round).c_str());
                ++round;
            } catch (const std::exception& error) {
                problems[me] = error.what();
                ++failures;
            }
        }
    };

    std::vector<std::thread> threads;
    threads.emplace_back(reader_loop, 0);
    threads.emplace_back(reader_loop, 1);
    threads.emplace_back(reader_loop, 2);
    threads.emplace_back(writer_loop, 3);
    // On a busy machine the threads may not have run yet: the switches start once
    // the readers read, and go on until they have read during the switches too.
    while (reads == 0 && failures == 0)
        std::this_thread::yield();
    const int reads_before = reads;
    for (int i = 0; i < 60 || (reads < reads_before + 3 && failures == 0); ++i) {
        const bool to_b = i % 2 == 0;
        // Every third switch copies; copying A into B and back keeps each track's
        // SOURCE equal across the storage, so the readers' check still holds.
        host.shelf().switch_storage(to_b ? method_b_guid : method_a_guid, i % 3 == 0, true, true);
        std::this_thread::yield();
    }
    switching = false;
    for (auto& thread : threads)
        thread.join();

    for (const auto& problem : problems)
        EXPECT_EQ(problem, "");
    EXPECT_EQ(failures, 0);
    EXPECT_GT(reads, 0);
    EXPECT_TRUE(host.boxes().empty());
}

TEST(SwitchConcurrency, FormattingOnOtherThreadsFindsEveryFieldWhileTheStorageIsSwitched) {
    service_test_host host;
    std::vector<metadb_handle_ptr> tracks;
    for (int i = 0; i < track_count; ++i) {
        tracks.push_back(host.track(track_name(i)));
        method_a.put(tracks.back(), "SOURCE", "A");
        method_b.put(tracks.back(), "SOURCE", "B");
    }
    host.start(method_a_guid);
    service_ptr_t<titleformat_object> script;
    ASSERT_TRUE(host_ops::single<titleformat_compiler>()->compile(script, "%SOURCE%"));

    std::atomic<bool> switching{true};
    std::atomic<int> lines{0};
    std::vector<std::string> problems(2);
    auto formatting_loop = [&](size_t me) {
        while (switching) {
            for (const auto& track : tracks) {
                string8 line;
                track->format_title(nullptr, line, script);
                if (line.str() != "A" && line.str() != "B")
                    problems[me] = "a line showed \"" + line.str() + "\"";
                ++lines;
            }
        }
    };
    std::vector<std::thread> threads;
    threads.emplace_back(formatting_loop, 0);
    threads.emplace_back(formatting_loop, 1);
    // At least 40 switches, and on until the formatting threads have drawn as many
    // lines as two passes over the tracks (a loaded machine may not run them at
    // first), for at most a minute.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (int i = 0;
         i < 40 || (lines < 2 * track_count && std::chrono::steady_clock::now() < give_up); ++i) {
        host.shelf().switch_storage(i % 2 == 0 ? method_b_guid : method_a_guid, false, true, true);
        std::this_thread::yield();
    }
    switching = false;
    for (auto& thread : threads)
        thread.join();

    for (const auto& problem : problems)
        EXPECT_EQ(problem, "");
    EXPECT_GT(lines, 0);
    EXPECT_TRUE(host.console().empty()) << host.console().front();
    EXPECT_TRUE(host.boxes().empty());
}

TEST(SwitchConcurrency, ReadersKeepWorkingWhileTheComponentsOwnMethodsAreSwitched) {
    const GUID sqlite = {
        0x4D8C0737, 0x63D6, 0x40DD, {0x8C, 0xCD, 0x60, 0x6B, 0x3B, 0xBD, 0x49, 0x61}};
    const GUID text = {
        0x55F4AA48, 0x445B, 0x4CD1, {0xB4, 0x9B, 0x97, 0xB2, 0xA9, 0x4B, 0x3B, 0x96}};
    service_test_host host;
    host.start(sqlite);
    ASSERT_EQ(host.shelf().current_storage_guid(), sqlite);
    std::vector<tagshelf_handle_ptr> kept(track_count);
    {
        service_ptr_t<tagshelf_reader_writer> writer;
        ASSERT_TRUE(host.shelf().get_writer(writer));
        for (int i = 0; i < track_count; ++i) {
            writer->get_handle(kept[size_t(i)], host.track(track_name(i)));
            writer->set_value(kept[size_t(i)], "RATING", std::to_string(i).c_str());
        }
    }

    std::atomic<bool> switching{true};
    std::atomic<int> failures{0};
    std::vector<std::string> problems(2);
    auto reader_loop = [&](size_t me) {
        while (switching) {
            try {
                service_ptr_t<tagshelf_reader> reader;
                if (!host.shelf().get_reader(reader))
                    throw std::runtime_error("no reader was handed out");
                for (int i = 0; i < track_count; ++i) {
                    string8 value;
                    if (!reader->get_value(kept[size_t(i)], "RATING", 0, value) ||
                        value.str() != std::to_string(i))
                        throw std::runtime_error("a copied value went wrong");
                }
            } catch (const std::exception& error) {
                problems[me] = error.what();
                ++failures;
            }
        }
    };
    std::vector<std::thread> threads;
    threads.emplace_back(reader_loop, 0);
    threads.emplace_back(reader_loop, 1);
    for (int i = 0; i < 20; ++i)
        host.shelf().switch_storage(i % 2 == 0 ? text : sqlite, true, true, true);
    switching = false;
    for (auto& thread : threads)
        thread.join();

    for (const auto& problem : problems)
        EXPECT_EQ(problem, "");
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(host.boxes().empty());
}

// Switches that a thread holding a reader asks for are refused at once, and a
// reader taken inside another never waits for the switch lock: either would
// otherwise wait for the switch lock with a store held, while the other thread
// holds the switch lock (or the switch) and waits for that store.
TEST(SwitchConcurrency, ThreadsHoldingReadersNeverWaitForTheSwitchLock) {
    service_test_host host;
    const metadb_handle_ptr track = host.track(track_name(0));
    method_a.put(track, "SOURCE", "A");
    method_b.put(track, "SOURCE", "B");
    host.start(method_a_guid);

    std::atomic<bool> running{true};
    std::atomic<int> refused{0};
    std::thread holder([&] {
        while (running) {
            service_ptr_t<tagshelf_reader> outer;
            if (!host.shelf().get_reader(outer))
                continue;
            service_ptr_t<tagshelf_reader> inner;
            host.shelf().get_reader(inner);
            host.shelf().switch_storage(method_b_guid, false, false, false);
            ++refused;
        }
    });
    for (int i = 0; i < 40; ++i) {
        host.shelf().lock();
        service_ptr_t<tagshelf_reader> reader;
        host.shelf().get_reader(reader);
        reader.release();
        host.shelf().unlock();
        host.shelf().switch_storage(i % 2 == 0 ? method_b_guid : method_a_guid, false, false,
                                    false);
    }
    while (refused == 0)
        std::this_thread::yield();
    running = false;
    holder.join();

    for (const auto& line : host.console())
        EXPECT_NE(line.find(held_accessor_message), std::string::npos) << line;
}

}  // namespace
