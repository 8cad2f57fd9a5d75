// A move notification against a large store costs about entries plus paths: a
// library of many files and a folder of many files must not multiply, and a move
// of one file costs what that file's entries cost, whatever the store holds, or
// the host freezes under the store lock.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "service_test_host.h"
#include "support/native_path.h"
#include "support/processor_time.h"

namespace {

// Processor seconds the notification of the move `from` -> `to` takes.
double time_move(service_test_host& host, const std::vector<std::string>& from,
                 const std::vector<std::string>& to) {
    list_t<const char*> a, b;
    for (size_t i = 0; i < from.size(); ++i) {
        a.add_item(from[i].c_str());
        b.add_item(to[i].c_str());
    }
    const double start = processor_seconds();
    host.shelf().update_locations(a, b);
    return processor_seconds() - start;
}

TEST(LocationUpdateCost, ManyMovedPathsAgainstALargeStoreCostAboutEntriesPlusPaths) {
    constexpr size_t entries = 20'000;
    constexpr size_t moved = 10;
    constexpr size_t unrelated = 20'000;

    service_test_host host;
    const std::string any = host.track("any.flac")->get_location().get_path();
    const std::string music = any.substr(0, any.size() - std::string("any.flac").size());
    // The host's paths: its music folder, and a relative path in the system's notation.
    auto stored_path = [&](size_t i) {
        return music + native_path("Library/" + std::to_string(i) + ".flac");
    };
    auto moved_path = [&](size_t i) {
        return music + native_path("Moved/" + std::to_string(i) + ".flac");
    };
    for (size_t i = 0; i < entries; ++i) {
        test_record record{stored_path(i), 0, {}};
        record.fields.add_value("RATING", std::to_string(i % 5 + 1).c_str());
        method_a.medium.push_back(std::move(record));
    }
    host.start(method_a_guid);

    // A few files moved: the walk over the entries is the whole cost.
    std::vector<std::string> from, to;
    for (size_t i = 0; i < moved; ++i) {
        from.push_back(stored_path(i * 997));
        to.push_back(moved_path(i * 997));
    }
    const double few = time_move(host, from, to);

    // Many files the store does not hold, and the few moved back at the end of the
    // list, so that every path is looked at.
    std::vector<std::string> many_from, many_to;
    for (size_t i = 0; i < unrelated; ++i) {
        many_from.push_back(music + "Elsewhere/" + std::to_string(i) + ".flac");
        many_to.push_back(music + "Gone/" + std::to_string(i) + ".flac");
    }
    many_from.insert(many_from.end(), to.begin(), to.end());
    many_to.insert(many_to.end(), from.begin(), from.end());
    const double many = time_move(host, many_from, many_to);

    for (size_t i = 0; i < moved; ++i) {
        const std::string expected = std::to_string(i * 997 % 5 + 1);
        EXPECT_EQ(
            host.value(host.session().tracks().track(playable_location_impl(from[i], 0)), "RATING"),
            expected)
            << from[i];
        EXPECT_EQ(
            host.value(host.session().tracks().track(playable_location_impl(to[i], 0)), "RATING"),
            "(none)")
            << to[i];
    }
    // Comparing every entry with every path would make the second notification
    // about two thousand times the first; matching through a set keeps it near the
    // same cost. The floor keeps a first measurement near the clock's resolution
    // from deciding.
    EXPECT_LT(many, std::max(20 * few, 0.5))
        << "a few paths took " << few << " s, many took " << many << " s";
}

// Processor seconds that `rounds` moves of one stored file there and back take
// once the store holds `entries` entries (earlier calls' entries stay).
double one_file_move_seconds(service_test_host& host, const std::string& music, size_t& stored,
                             size_t entries, int rounds) {
    {
        service_ptr_t<tagshelf_reader_writer> writer;
        EXPECT_TRUE(host.shelf().get_writer(writer));
        for (; stored < entries; ++stored) {
            tagshelf_handle_ptr handle;
            writer->get_handle(handle, host.track("Library/" + std::to_string(stored) + ".flac"));
            writer->set_value(handle, "RATING", "4");
        }
    }
    const std::vector<std::string> there{music + "Library/1.flac"};
    const std::vector<std::string> back{music + "Moved/1.flac"};
    double seconds = 0;
    for (int round = 0; round < rounds; ++round)
        seconds += time_move(host, there, back) + time_move(host, back, there);
    EXPECT_EQ(host.value(host.track("Library/1.flac"), "RATING"), "4");
    return seconds;
}

TEST(LocationUpdateCost, OneFileMoveCostsTheSameInAHundredTimesLargerStore) {
    service_test_host host;
    host.start(method_a_guid);
    const std::string any = host.track("any.flac")->get_location().get_path();
    const std::string music = any.substr(0, any.size() - std::string("any.flac").size());
    size_t stored = 0;
    const double small = one_file_move_seconds(host, music, stored, 1'000, 200);
    const double large = one_file_move_seconds(host, music, stored, 100'000, 200);
    // A walk over the entries would make the large store's moves a hundred times
    // the small one's. The floor keeps the clock's resolution from deciding.
    EXPECT_LT(large, std::max(20 * small, 0.05))
        << "moves in 1,000 entries took " << small << " s, in 100,000 " << large << " s";
}

}  // namespace
