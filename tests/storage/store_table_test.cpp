// The table of a store: the location hash, hash order, lookups by location,
// storing and removing entries.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "storage/folded_path.h"
#include "store_fixture.h"

namespace {

TEST(LocationHash, FollowsTheWordSumOfTheLowerCasedPathPlusSubsong) {
    struct row {
        const char* path;
        uint32_t subsong;
        uint32_t hash;
    };
    const row rows[] = {
        {"abcd", 0, 1684234849u},              // 0x64636261: one little-endian word
        {"ABCD", 0, 1684234849u},              // lower-cased first
        {"", 7, 7u},                           // no bytes: just the subsong
        {"ab", 5, 5u},                         // fewer than 4 bytes add nothing
        {"abc", 0, 0u},                        //
        {"abcde", 0, 1684234849u},             // 5 to 7 bytes hash like the first 4
        {"abcdefg", 3, 1684234849u + 3},       //
        {"abcdabcd", 0, 0xC8C6C4C2u},          // words add up
        {"abcd", 0xFFFFFFFFu, 0x64636260u},    // modulo 2^32
        {"\xC3\x89\xC3\x89", 0, 0xA9C3A9C3u},  // "ÉÉ" hashes as "éé"
        {"\xC3\xA9\xC3\xA9", 0, 0xA9C3A9C3u},  //
        {"\xE2\x84\xAA"
         "bcd",
         0, 0x6463626Bu},  // Kelvin sign lower-cases to ASCII k
    };
    for (const row& r : rows) {
        EXPECT_EQ(location_hash(r.path, r.subsong), r.hash) << '"' << r.path << "\" #" << r.subsong;
    }
}

TEST(FoldedPath, LowersTheTwentySixAsciiCapitalsAndNothingElseAtEveryOffset) {
    // Every ASCII byte but zero, starting at each offset within a word, so each byte
    // and its neighbours take every position of an eight-byte step.
    std::string every;
    for (int c = 1; c < 0x80; ++c)
        every += char(c);
    const std::string capitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const std::string small = "abcdefghijklmnopqrstuvwxyz";
    for (size_t offset = 0; offset < 8; ++offset) {
        const std::string path = every.substr(offset) + every.substr(0, offset);
        std::string expected = path;
        for (char& c : expected) {
            const size_t at = capitals.find(c);
            if (at != std::string::npos)
                c = small[at];
        }
        EXPECT_EQ(folded_path(path).view(), expected) << "offset " << offset;
    }
    // A byte of 0x80 or above anywhere takes the full case mapping.
    EXPECT_EQ(folded_path("ABCDEFGH\xC3\x89IJ").view(), "abcdefgh\xC3\xA9ij");
    EXPECT_EQ(folded_path("\xC3\x89"
                          "ABCDEFGHIJ")
                  .view(),
              "\xC3\xA9"
              "abcdefghij");
}

using StoreTable = StoreTest;

TEST_F(StoreTable, EntriesAreEnumeratedInUnsignedHashOrderWhateverTheWriteOrder) {
    // "éé" hashes above 2^31: a signed comparison would put it first.
    for (const char* path : {"\xC3\xA9\xC3\xA9", "zzzz", "abcd"})
        writer->add_value(handle(path), "X", "1");
    EXPECT_EQ(stored_locations(),
              (std::vector<std::string>{"abcd#0", "zzzz#0", "\xC3\xA9\xC3\xA9#0"}));
}

TEST_F(StoreTable, EntriesOfEqualHashKeepTheirInsertionOrder) {
    // Permuted words sum to the same hash; so does a subsong that makes up the difference.
    const std::vector<std::string> same_hash = {"ccccbbbbaaaa", "aaaabbbbcccc", "bbbbaaaacccc"};
    ASSERT_EQ(location_hash(same_hash[0], 0), location_hash(same_hash[1], 0));
    ASSERT_EQ(location_hash("abcd", 1), location_hash("bbcd", 0));
    writer->add_value(handle("zzzz"), "X", "1");
    for (const auto& path : same_hash)
        writer->add_value(handle(path), "X", path.c_str());
    writer->add_value(handle("bbcd"), "X", "1");
    writer->add_value(handle("abcd", 1), "X", "1");

    EXPECT_EQ(stored_locations(),
              (std::vector<std::string>{"ccccbbbbaaaa#0", "aaaabbbbcccc#0", "bbbbaaaacccc#0",
                                        "bbcd#0", "abcd#1", "zzzz#0"}));
    // Every one is still found by its own location.
    for (const auto& path : same_hash) {
        string8 value;
        EXPECT_TRUE(writer->get_value(handle(path), "X", 0, value));
        EXPECT_EQ(value.str(), path);
    }

    // One that leaves and comes back goes after the others of its hash.
    writer->remove_info(handle(same_hash[0]));
    writer->add_value(handle(same_hash[0]), "X", "again");
    EXPECT_EQ(stored_locations(),
              (std::vector<std::string>{"aaaabbbbcccc#0", "bbbbaaaacccc#0", "ccccbbbbaaaa#0",
                                        "bbcd#0", "abcd#1", "zzzz#0"}));
}

TEST_F(StoreTable, UnstoredHandleIsEmptyUntilWrittenThenStoredOnce) {
    writer->add_value(handle("other"), "X", "1");
    tagshelf_handle_ptr h = handle("file:///music/new.mp3");
    EXPECT_FALSE(writer->has_info(h));
    EXPECT_EQ(writer->get_value_count(h, "RATING"), 0u);
    EXPECT_EQ(writer->get_entry_count(), 1);
    EXPECT_FALSE(entry(h).is_stored());

    writer->add_value(h, "RATING", "3");
    EXPECT_EQ(writer->get_entry_count(), 2);
    EXPECT_EQ(handle("file:///music/new.mp3"), h) << "a lookup finds the stored entry";
    writer->add_value(h, "RATING", "4");
    EXPECT_EQ(writer->get_entry_count(), 2) << "a stored entry is not stored twice";
    EXPECT_EQ(fields_of_handle(h), "RATING=3|4");
}

TEST_F(StoreTable, EveryWriteThatCreatesContentStoresOneEntryPerLocation) {
    const x_info_impl empty;
    const x_info_impl one = fields_of({{"A", "1"}});
    tagshelf_handle_ptr stored = handle("stored");
    writer->set_info(stored, one);
    struct row {
        const char* name;
        std::function<void(const tagshelf_handle_ptr&)> write;
        // What the row leaves in an entry that held RATING=5.
        const char* over_rating;
    };
    const row rows[] = {
        {"set_info with an empty set",
         [&](const tagshelf_handle_ptr& h) { writer->set_info(h, empty); }, ""},
        {"set_info_multi",
         [&](const tagshelf_handle_ptr& h) {
             tagshelf_handle_list handles;
             handles.add_item(h);
             list_t<const x_info*> infos;
             infos.add_item(&one);
             writer->set_info_multi(handles, infos);
         },
         "A=1"},
        {"copy_info as target", [&](const tagshelf_handle_ptr& h) { writer->copy_info(stored, h); },
         "A=1"},
        {"add_value", [&](const tagshelf_handle_ptr& h) { writer->add_value(h, "A", "1"); },
         "RATING=5;A=1"},
        {"set_value", [&](const tagshelf_handle_ptr& h) { writer->set_value(h, "A", "1"); },
         "RATING=5;A=1"},
    };
    int n = 0;
    for (const row& r : rows) {
        tagshelf_handle_ptr h = handle("track " + std::to_string(n++));
        r.write(h);
        EXPECT_TRUE(entry(h).is_stored()) << r.name;
        EXPECT_EQ(writer->get_entry_count(), n + 1) << r.name;
    }
    // Two handles taken while a location is unstored; the first stores it. A
    // write through the second acts on that entry, and so does every later read
    // through either.
    for (const row& r : rows) {
        const std::string path = "held " + std::to_string(n);
        tagshelf_handle_ptr held = handle(path);
        tagshelf_handle_ptr rater = handle("HELD " + std::to_string(n));
        ASSERT_NE(held, rater);
        writer->set_value(rater, "RATING", "5");
        r.write(held);
        EXPECT_EQ(writer->get_entry_count(), ++n + 1) << r.name;
        EXPECT_FALSE(entry(held).is_stored()) << r.name;
        EXPECT_EQ(handle(path), rater) << r.name;
        EXPECT_EQ(fields_of_handle(rater), r.over_rating) << r.name;
        EXPECT_EQ(fields_of_handle(held), r.over_rating) << r.name;
    }
    // Reads and removals store nothing.
    tagshelf_handle_ptr h = handle("untouched");
    writer->remove_field(h, "A");
    writer->remove_info(h);
    writer->copy_info(h, h);
    x_info_impl out;
    writer->get_info(h, out);
    EXPECT_FALSE(entry(h).is_stored());
    EXPECT_EQ(writer->get_entry_count(), n + 1);
}

TEST_F(StoreTable, RemovingAnEntryWhoseRecordedPlaceIsStaleRemovesThatEntry) {
    // Each later write lands in front of the earlier ones, so every recorded
    // place but the last goes stale.
    const std::vector<std::string> paths = {"dddd", "cccc", "bbbb", "aaaa"};
    std::vector<tagshelf_handle_ptr> handles;
    for (const auto& path : paths) {
        handles.push_back(handle(path));
        writer->set_value(handles.back(), "P", path.c_str());
    }
    writer->remove_info(handles[1]);  // "cccc"
    EXPECT_EQ(stored_locations(), (std::vector<std::string>{"aaaa#0", "bbbb#0", "dddd#0"}));
    writer->remove_info(handles[0]);  // "dddd"
    EXPECT_EQ(stored_locations(), (std::vector<std::string>{"aaaa#0", "bbbb#0"}));
    EXPECT_EQ(fields_of_handle(handle("bbbb")), "P=bbbb");
    EXPECT_EQ(fields_of_handle(handle("aaaa")), "P=aaaa");
    EXPECT_FALSE(writer->has_info(handles[1])) << "a removed entry is emptied";
}

TEST_F(StoreTable, HandleHeldAcrossAnotherWriterActsOnTheLocationsEntryUntilItIsRemoved) {
    writer->add_value(handle("cccc"), "X", "neighbour");
    tagshelf_handle_ptr held = handle("file:///twice.mp3");
    tagshelf_handle_ptr rater = handle("file:///TWICE.mp3");
    writer->set_value(rater, "RATING", "5");
    writer->remove_field(held, "RATING");
    EXPECT_EQ(fields_of_handle(rater), "");
    writer->set_value(rater, "RATING", "4");
    writer->copy_info(held, rater);
    EXPECT_EQ(fields_of_handle(rater), "RATING=4") << "one entry: copying onto itself";
    writer->remove_info(held);
    EXPECT_EQ(writer->get_entry_count(), 1);
    EXPECT_FALSE(entry(rater).is_stored());
    // Both detached now: the first to write stores the location again, under its
    // own spelling, and the other acts on it.
    writer->add_value(held, "MOOD", "calm");
    writer->add_value(rater, "MOOD", "warm");
    EXPECT_EQ(stored_locations(), (std::vector<std::string>{"cccc#0", "file:///twice.mp3#0"}));
    EXPECT_EQ(fields_of_handle(rater), "MOOD=calm|warm");
    EXPECT_EQ(fields_of_handle(handle("cccc")), "X=neighbour");
}

TEST_F(StoreTable, RemoveAllLeavesHeldHandlesValidEmptyDetachedAndWritable) {
    tagshelf_handle_ptr a = handle("file:///a.mp3");
    tagshelf_handle_ptr b = handle("file:///b.mp3", 2);
    writer->set_value(a, "RATING", "5");
    writer->add_value(b, "MOOD", "calm");
    writer->add_value(b, "MOOD", "slow");

    writer->remove_all();
    EXPECT_EQ(writer->get_entry_count(), 0);
    EXPECT_EQ(writer->get_total_value_count(), 0u);
    EXPECT_TRUE(stored_locations().empty());
    for (const auto& h : {a, b}) {
        EXPECT_FALSE(writer->has_info(h));
        EXPECT_FALSE(entry(h).is_stored());
    }
    EXPECT_STREQ(b->get_location().get_path(), "file:///b.mp3");
    EXPECT_EQ(b->get_location().get_subsong(), 2u);
    EXPECT_NE(handle("file:///a.mp3"), a) << "a lookup no longer finds the removed entry";

    writer->add_value(a, "RATING", "1");
    EXPECT_EQ(writer->get_entry_count(), 1);
    EXPECT_EQ(handle("file:///a.mp3"), a);
    EXPECT_EQ(fields_of_handle(a), "RATING=1");
}

TEST_F(StoreTable, PathsDifferingOnlyInLetterCaseNameOneEntryWithItsFirstSpelling) {
    writer->add_value(handle("file:///Music/\xC3\x89t\xC3\xA9.MP3"), "A", "1");  // "Été"
    writer->add_value(handle("file:///music/\xC3\xA9T\xC3\x89.mp3"), "A", "2");  // "éTÉ"
    writer->add_value(handle("file:///MUSIC/\xC3\x89T\xC3\x89.Mp3", 1), "A", "3");
    EXPECT_EQ(stored_locations(),
              (std::vector<std::string>{"file:///Music/\xC3\x89t\xC3\xA9.MP3#0",
                                        "file:///MUSIC/\xC3\x89T\xC3\x89.Mp3#1"}));
    EXPECT_EQ(fields_of_handle(handle("FILE:///MUSIC/\xC3\x89T\xC3\x89.MP3")), "A=1|2");
    EXPECT_EQ(fields_of_handle(handle("file:///music/\xC3\xA9t\xC3\xA9.mp3", 1)), "A=3");
}

TEST_F(StoreTable, HandleGivesBackItsLocationAndTheHostTrack) {
    tagshelf_handle_ptr h = handle("file:///Music/Song.mp3", 3);
    metadb_handle_ptr track;
    h->get_metadb_handle(track);
    ASSERT_TRUE(track.is_valid());
    EXPECT_STREQ(track->get_location().get_path(), "file:///Music/Song.mp3");
    EXPECT_EQ(track->get_location().get_subsong(), 3u);
    EXPECT_EQ(track, host_track("file:///Music/Song.mp3", 3));
}

}  // namespace
