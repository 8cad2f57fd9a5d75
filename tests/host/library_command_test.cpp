// The host's media library, driven through the real host program, and its index
// of tracks and the track database used directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "host/core/media_library.h"
#include "support/processor_time.h"
#include "support/run_host.h"

namespace {

playable_location_impl at(const std::string& path, uint32_t subsong = 0) {
    return playable_location_impl(path, subsong);
}

std::string spelled(const playable_location& item) {
    return std::string(item.get_path()) + "#" + std::to_string(item.get_subsong());
}

std::vector<std::string> listed(const media_library& library) {
    std::vector<std::string> lines;
    for (const auto& item : library.items())
        lines.push_back(spelled(item));
    return lines;
}

// The tracks the library hands to a component that asks for all of them.
std::vector<std::string> handed_out(media_library& library) {
    struct collect final : library_track_callback {
        std::vector<std::string> lines;
        void on_track(metadb_handle& track) override {
            lines.push_back(spelled(track.get_location()));
        }
    } collected;
    library.enum_tracks(collected);
    return collected.lines;
}

TEST(LibraryCommand, AddedTracksAreListedInALaterSession) {
    temp_directory profile;
    auto added = run_host(
        {"--profile", profile.path(), "library", "add", "/music/a.mp3", "/music/b.flac#2"});
    ASSERT_EQ(added.status, 0) << added.err;
    auto listed = run_host({"--profile", profile.path(), "library", "list"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out,
              native_path("/music/a.mp3") + "\n" + native_path("/music/b.flac") + "#2\n");
}

TEST(LibraryCommand, RemovedTrackLeavesTheLibrary) {
    temp_directory profile;
    run_host({"--profile", profile.path(), "library", "add", "/music/a.mp3", "/music/c.mp3"});
    auto removed = run_host({"--profile", profile.path(), "library", "remove", "/music/A.MP3"});
    EXPECT_EQ(removed.status, 0) << "paths compare without regard to case: " << removed.err;
    auto listed = run_host({"--profile", profile.path(), "library", "list"});
    EXPECT_EQ(listed.out, native_path("/music/c.mp3") + "\n");
}

TEST(LibraryCommand, MissingArgumentsAreAUsageError) {
    temp_directory profile;
    auto result = run_host({"--profile", profile.path(), "library", "add"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: sonarith-host library add TRACK..."), std::string::npos)
        << result.err;
}

TEST(LibraryCommand, UnknownCommandIsReportedNotCrashed) {
    temp_directory profile;
    auto result = run_host({"--profile", profile.path(), "frobnicate"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("unknown command 'frobnicate'"), std::string::npos) << result.err;
}

TEST(MediaLibrary, ChangesKeepTheOrderOfAddingAndFindEveryTrackByAnySpelling) {
    temp_directory dir;
    std::ofstream(dir.file("listed twice.txt"), std::ios::binary) << "0\ta\n1\tb\n0\tA\n";
    struct row {
        const char* what;
        std::function<void(media_library&)> act;
        std::vector<std::string> listed;  // PATH#SUBSONG in library order
        std::vector<playable_location_impl> absent;
    };
    const row rows[] = {
        {"removing one track keeps the others in place",
         [](media_library& l) {
             l.add(at("a"));
             l.add(at("b", 1));
             l.add(at("b", 2));
             l.add(at("c"));
             l.remove(at("B", 1));
         },
         {"a#0", "b#2", "c#0"},
         {at("b", 1)}},
        {"a moved file keeps every subsong and each its place",
         [](media_library& l) {
             l.add(at("a"));
             l.add(at("b"));
             l.add(at("a", 1));
             l.move_path("A", "z");
         },
         {"z#0", "b#0", "z#1"},
         {at("a"), at("a", 1)}},
        {"a file moved onto one in the library joins its subsongs",
         [](media_library& l) {
             l.add(at("a"));
             l.add(at("x", 1));
             l.add(at("a", 2));
             l.move_path("a", "X");
             l.remove_path("x");
         },
         {},
         {at("X"), at("x", 1), at("X", 2)}},
        {"a deleted file takes only its own subsongs",
         [](media_library& l) {
             l.add(at("a"));
             l.add(at("b", 1));
             l.add(at("a", 1));
             l.remove_path("A");
             l.add(at("a", 3));
         },
         {"b#1", "a#3"},
         {at("a"), at("a", 1)}},
        {"a track the library file lists twice leaves at the second removal",
         [&](media_library& l) {
             l.load(dir.file("listed twice.txt"));
             l.remove(at("a"));
         },
         {"b#1", "A#0"},
         {}},
        {"tracks stay found after most of the library went",
         [](media_library& l) {
             for (int i = 0; i < 10; ++i)
                 l.add(at("t", uint32_t(i)));
             l.add(at("u"));
             for (int i = 1; i < 10; ++i)
                 l.remove(at("t", uint32_t(i)));
             l.move_path("t", "v");
             l.add(at("v", 5));
         },
         {"v#0", "u#0", "v#5"},
         {at("t"), at("t", 5)}},
    };
    for (const row& r : rows) {
        auto tracks = make_service<track_database>();
        auto made = make_service<media_library>(tracks);
        media_library& library = *made;
        r.act(library);
        EXPECT_EQ(listed(library), r.listed) << r.what;
        EXPECT_EQ(handed_out(library), r.listed) << r.what;
        EXPECT_EQ(library.size(), r.listed.size()) << r.what;
        // Asked by location and, as components ask, by the host's track handle,
        // which knows whether the library lists it.
        for (const auto& item : library.items()) {
            EXPECT_TRUE(library.contains(item)) << r.what << ": " << item.path();
            EXPECT_TRUE(library.is_item_in_library(tracks->track(item)))
                << r.what << ": " << item.path();
        }
        for (const auto& gone : r.absent) {
            EXPECT_FALSE(library.contains(gone)) << r.what << ": " << gone.path();
            EXPECT_FALSE(library.is_item_in_library(tracks->track(gone)))
                << r.what << ": " << gone.path();
        }
    }
}

// Processor seconds to add `count` tracks to an empty library and then ask, for
// each, whether the library holds it (spelled in upper case), as the component
// asks for every entry it keeps.
double add_and_ask(size_t count) {
    std::vector<playable_location_impl> tracks, asked;
    for (size_t i = 0; i < count; ++i) {
        std::string path = "file:///music/Artist " + std::to_string(i % 97) + "/Album " +
                           std::to_string(i % 13) + "/" + std::to_string(i) + " Title.flac";
        tracks.push_back(at(path, uint32_t(i % 3)));
        std::transform(path.begin(), path.end(), path.begin(), ::toupper);
        asked.push_back(at(path, uint32_t(i % 3)));
    }
    size_t found = 0;
    const double seconds = processor_seconds_per_call([&] {
        auto library = make_service<media_library>();
        for (const auto& track : tracks)
            library->add(track);
        found = 0;
        for (const auto& track : asked)
            found += library->contains(track);
    });
    EXPECT_EQ(found, count);
    return seconds;
}

TEST(MediaLibrary, AskingForEveryTrackCostsInProportionToTheLibrary) {
    double small = add_and_ask(2000);
    double large = add_and_ask(20000);
    RecordProperty("seconds_for_2000", std::to_string(small));
    RecordProperty("seconds_for_20000", std::to_string(large));
    // Ten times the tracks cost about ten times the time; a search through the
    // library for each track would cost a hundred times.
    EXPECT_LT(large, 40 * small);
}

// The track database hands out one handle per exact spelling and subsong, and
// keeps handing out the same one while its table grows.
TEST(TrackDatabase, OneHandlePerSpellingAndSubsong) {
    auto tracks = make_service<track_database>();
    const metadb_handle_ptr first = tracks->track(at("/m/a.flac"));
    EXPECT_EQ(tracks->track(at("/m/a.flac")).get_ptr(), first.get_ptr());
    EXPECT_NE(tracks->track(at("/m/A.flac")).get_ptr(), first.get_ptr()) << "another spelling";
    EXPECT_NE(tracks->track(at("/m/a.flac", 1)).get_ptr(), first.get_ptr()) << "another subsong";
    std::vector<metadb_handle_ptr> made;
    for (int i = 0; i < 5000; ++i)
        made.push_back(tracks->track(at("/m/" + std::to_string(i) + ".flac", uint32_t(i % 3))));
    for (int i = 0; i < 5000; ++i) {
        const metadb_handle_ptr again =
            tracks->track(at("/m/" + std::to_string(i) + ".flac", uint32_t(i % 3)));
        ASSERT_EQ(again.get_ptr(), made[size_t(i)].get_ptr()) << i;
        EXPECT_STREQ(again->get_location().get_path(),
                     ("/m/" + std::to_string(i) + ".flac").c_str());
    }
    EXPECT_EQ(tracks->track(at("/m/a.flac")).get_ptr(), first.get_ptr());
}

}  // namespace
