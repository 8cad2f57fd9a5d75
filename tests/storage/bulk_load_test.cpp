// Loading a store in bulk: the result must be exactly what storing the records
// one at a time gives, and building a large store must cost about n log n.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "sdk/utf8.h"
#include "store_fixture.h"

namespace {

struct record {
    std::string path;
    uint32_t subsong;
    x_info_impl fields;
};

// Locations that collide on purpose: permuted words hash equal, and "bbcd" #0
// hashes like "abcd" #1.
const char* const base_paths[] = {
    "file:///music/one.mp3",
    "file:///music/two.mp3",
    "file:///music/\xC3\x89t\xC3\xA9.flac",        // "Été"
    "file:///music/\xD0\x94\xD0\xBE\xD0\xBC.ogg",  // "Дом"
    "aaaabbbbcccc",
    "bbbbaaaacccc",
    "ccccbbbbaaaa",
    "abcd",
    "bbcd",
    "ab",
    "",
};

// The same text with the letter case of some letters (ASCII and a few others) flipped.
std::string respell(const std::string& path, std::mt19937& rng) {
    std::string out;
    std::bernoulli_distribution flip(0.3);
    for (size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        if (std::isalpha(static_cast<unsigned char>(c)) && flip(rng)) {
            out += char(c ^ 0x20);
        } else if ((c == '\xC3' || c == '\xD0') && i + 1 < path.size() && flip(rng)) {
            std::string letter = path.substr(i, 2);
            std::string other;
            auto second = static_cast<unsigned char>(letter[1]);
            bool is_upper = c == '\xC3' ? second < 0xA0 : second < 0xB0;
            if (is_upper) {
                utf8_append_lower(other, letter);
            } else {
                utf8_append_upper(other, letter);
            }
            out += other;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<record> random_records(std::mt19937& rng, size_t count) {
    const char* const names[] = {"RATING", "rating", "MOOD", "Genre", "GENRE"};
    std::uniform_int_distribution<size_t> pick_path(0, std::size(base_paths) - 1);
    std::uniform_int_distribution<uint32_t> pick_subsong(0, 2);
    std::uniform_int_distribution<size_t> pick_name(0, std::size(names) - 1);
    std::uniform_int_distribution<int> pick_pairs(0, 4);  // 0: an empty record
    std::vector<record> records;
    for (size_t i = 0; i < count; ++i) {
        record r{respell(base_paths[pick_path(rng)], rng), pick_subsong(rng), {}};
        for (int p = pick_pairs(rng); p > 0; --p)
            r.fields.add_value(names[pick_name(rng)], std::to_string(i).c_str());
        records.push_back(std::move(r));
    }
    return records;
}

// The whole content of a store in table order, spelling included, plus a check
// that the table is in hash order and that a lookup of every entry's location
// finds a stored entry of that location.
std::vector<std::string> content_of(tagshelf_store& store) {
    std::vector<std::string> out;
    const storage_entry* previous = nullptr;
    for (const storage_entry* e : store.entries()) {
        out.push_back(std::string(e->location.get_path()) + "#" +
                      std::to_string(e->location.get_subsong()) + " " +
                      describe(packed_fields::view(e->fields)));
        EXPECT_TRUE(e->is_stored()) << out.back();
        const storage_entry* found = store.find(e->location);
        EXPECT_TRUE(found && found->location.equals(e->location)) << out.back();
        if (previous) {
            EXPECT_LE(previous->hash, e->hash) << "out of hash order at " << out.back();
        }
        previous = e;
    }
    return out;
}

// Stores that already hold content, written in part through a handle taken
// before another handle stored its location.
void preload(tagshelf_store& store) {
    auto writer = make_service<tagshelf_accessor_plain>(store);
    tagshelf_handle_ptr first, second, other;
    writer->get_handle(first, host_track("abcd", 1));
    writer->get_handle(second, host_track("ABCD", 1));
    writer->get_handle(other, host_track("file:///music/one.mp3"));
    writer->set_value(first, "OLD", "first");
    writer->set_value(other, "OLD", "other");
    writer->set_value(second, "OLD", "second");
}

TEST(BulkLoad, GivesExactlyWhatStoringOneAtATimeGives) {
    shared_host();
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        std::vector<record> records = random_records(rng, 1 + seed * 5);
        bool preloaded = seed % 2 == 0;

        tagshelf_store one_at_a_time;
        if (preloaded)
            preload(one_at_a_time);
        auto writer = make_service<tagshelf_accessor_plain>(one_at_a_time);
        for (const record& r : records) {
            tagshelf_handle_ptr h;
            writer->get_handle(h, host_track(r.path, r.subsong));
            writer->set_info(h, r.fields);
        }

        tagshelf_store bulk;
        if (preloaded)
            preload(bulk);
        tagshelf_store::bulk_loader loader(bulk);
        loader.reserve(records.size());
        for (const record& r : records)
            loader.add(r.path, r.subsong, r.fields);
        loader.commit();

        EXPECT_EQ(content_of(bulk), content_of(one_at_a_time));
    }
}

TEST(BulkLoad, LoadedEntriesCanBeRemovedOneByOne) {
    shared_host();
    std::mt19937 rng(7);
    std::vector<record> records = random_records(rng, 300);
    tagshelf_store store;
    preload(store);
    tagshelf_store::bulk_loader loader(store);
    for (const record& r : records)
        loader.add(r.path, r.subsong, r.fields);
    loader.commit();

    auto writer = make_service<tagshelf_accessor_plain>(store);
    tagshelf_handle_list handles;
    writer->enum_handles(handles);
    std::shuffle(handles.items().begin(), handles.items().end(), rng);
    size_t left = handles.get_count();
    for (const auto& h : handles) {
        writer->remove_info(h);
        --left;
        ASSERT_EQ(store.entry_count(), left);
        for (const auto& e : store.entries())
            ASSERT_NE(e, h.get_ptr()) << "the removed entry is gone";
    }
}

// Paths shaped like a real music folder: many share long prefixes and differ in
// a few digits, which also gives many equal hashes.
std::vector<record> library_records(size_t count) {
    std::vector<record> records;
    records.reserve(count);
    char path[160];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(path, sizeof path,
                      "file:///home/listener/Music/Artist %04zu/Album %02zu/%02zu - Track.flac",
                      i / 200, i / 20 % 10, i % 20);
        record r{path, uint32_t(i % 3 == 0 ? 1 : 0), {}};
        r.fields.add_value("RATING", std::to_string(i % 6).c_str());
        r.fields.add_value("PLAY_COUNT", std::to_string(i).c_str());
        records.push_back(std::move(r));
    }
    std::shuffle(records.begin(), records.end(), std::mt19937(11));
    return records;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Work that is linear (but for one sort of integers) on the same data: every
// path lower-cased and summed into its hash, then the hashes sorted.
double baseline_seconds(const std::vector<record>& records) {
    auto start = std::chrono::steady_clock::now();
    std::vector<std::pair<uint32_t, size_t>> keys;
    keys.reserve(records.size());
    std::string lower;
    for (size_t i = 0; i < records.size(); ++i) {
        lower.clear();
        utf8_append_lower(lower, records[i].path);
        uint32_t sum = records[i].subsong;
        for (size_t b = 0; b + 4 <= lower.size(); b += 4)
            sum += uint32_t(uint8_t(lower[b])) | uint32_t(uint8_t(lower[b + 1])) << 8 |
                   uint32_t(uint8_t(lower[b + 2])) << 16 | uint32_t(uint8_t(lower[b + 3])) << 24;
        keys.emplace_back(sum, i);
    }
    std::sort(keys.begin(), keys.end());
    return seconds_since(start);
}

// `reserve`: whether the loader is told the count first, as a loader that knows
// it does; one that reads a medium of unknown size does not.
double bulk_seconds(const std::vector<record>& records, bool reserve = true) {
    std::vector<record> copies = records;
    tagshelf_store store;
    auto start = std::chrono::steady_clock::now();
    tagshelf_store::bulk_loader loader(store);
    if (reserve)
        loader.reserve(copies.size());
    for (record& r : copies)
        loader.add(std::move(r.path), r.subsong, std::move(r.fields));
    loader.commit();
    double seconds = seconds_since(start);
    EXPECT_EQ(store.entry_count(), records.size());
    return seconds;
}

TEST(BulkLoad, LargeStoreCostsAboutAsMuchAsSortingItsKeys) {
    // Storing one at a time into the sorted table moves half the table per
    // record: for 200,000 records that is over a hundred times the baseline,
    // while the bulk path stays within a few times it.
    std::vector<record> records = library_records(200'000);
    std::vector<double> baselines;
    for (int i = 0; i < 3; ++i)
        baselines.push_back(baseline_seconds(records));
    std::sort(baselines.begin(), baselines.end());
    double baseline = baselines[1];
    for (bool reserve : {true, false}) {
        double bulk = bulk_seconds(records, reserve);
        RecordProperty(reserve ? "bulk_ms" : "bulk_unreserved_ms", std::to_string(bulk * 1000));
        EXPECT_LT(bulk, 20 * baseline) << (reserve ? "reserved: " : "not reserved: ") << "bulk "
                                       << bulk << " s, baseline " << baseline << " s";
    }
    RecordProperty("baseline_ms", std::to_string(baseline * 1000));
}

}  // namespace
