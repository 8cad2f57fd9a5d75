// The configuration-file storage: its store travels inside the host's
// configuration as one settings record, written at every save and read at start.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "frame/component_client.h"
#include "frame/component_state.h"
#include "frame/config_vars.h"
#include "host/core/profile.h"
#include "sdk/stream.h"
#include "storage/config/cfg_storage_content.h"
#include "storage/config/tagshelf_storage_config.h"
#include "support/run_host.h"
#include "support/test_host.h"

namespace {

using bytes = std::vector<uint8_t>;

// Payload building: u32 little-endian, and strings as length + bytes.
void put_u32(bytes& out, uint32_t n) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(n >> (8 * i)));
}
void put_string(bytes& out, const std::string& text) {
    put_u32(out, uint32_t(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

struct record {
    std::string path;
    uint32_t subsong;
    std::vector<std::pair<std::string, std::string>> pairs;
};

bytes payload(const std::vector<record>& records) {
    bytes out;
    put_u32(out, uint32_t(records.size()));
    for (const auto& r : records) {
        put_string(out, r.path);
        put_u32(out, r.subsong);
        put_u32(out, uint32_t(r.pairs.size()));
        for (const auto& [name, value] : r.pairs) {
            put_string(out, name);
            put_string(out, value);
        }
    }
    return out;
}

tagshelf_store& store() {
    return tagshelf_storage_config::store();
}

// Stores the pairs for a location, as a writer's add_value calls would.
void put(const std::string& path, uint32_t subsong,
         const std::vector<std::pair<std::string, std::string>>& pairs) {
    storage_entry_ptr entry = store().get_handle(playable_location_impl(path, subsong));
    x_info_impl fields = entry->fields.unpack();
    for (const auto& [name, value] : pairs)
        fields.add_value(name.c_str(), value.c_str());
    entry->fields.assign(fields);
    store().attach(*entry);
}

// The store in table order, one line per entry: "path#subsong NAME=v1|v2 ...".
std::string dump() {
    std::string text;
    for (const auto& entry : store().entries()) {
        text += std::string(entry->location.path()) + "#" +
                std::to_string(entry->location.get_subsong());
        const packed_fields::view fields(entry->fields);
        for (size_t f = 0; f < fields.get_field_count(); ++f) {
            text += std::string(" ") + fields.get_field_name(f) + "=";
            for (size_t v = 0; v < fields.get_value_count(f); ++v)
                text += (v ? "|" : "") + std::string(fields.get_value(f, v));
        }
        text += "\n";
    }
    return text;
}

// The lines of a dump in sorted order, for stores whose table order depends on
// hashes the test does not care about.
std::vector<std::string> sorted_lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

bytes serialise() {
    stream_writer_buffer out;
    abort_callback_dummy abort;
    custom_data_loader_saver.write_data(out, abort);
    return out.data();
}

void deserialise(const bytes& data) {
    stream_reader_memblock in(data.data(), data.size());
    abort_callback_dummy abort;
    custom_data_loader_saver.read_data(in, data.size(), abort);
}

bool is_found_by_lookup(const std::string& path, uint32_t subsong) {
    return store().get_handle(playable_location_impl(path, subsong))->is_stored();
}

class ConfigStorage : public ::testing::Test {
protected:
    void SetUp() override {
        tagshelf_storage_config_instance().open(nullptr);
        store().remove_all();
    }
    void TearDown() override {
        tagshelf_storage_config_instance().open(nullptr);
        store().remove_all();
    }
};

// Payloads whose bytes are fixed, checked in both directions.
TEST_F(ConfigStorage, KnownStoresHaveExactlyTheseBytes) {
    struct example {
        const char* name;
        std::vector<record> content;
        bytes expected;
    };
    const example examples[] = {
        {"one entry, one value", {{"a", 0, {{"X", "1"}}}}, {0x01, 0, 0, 0,    0x01, 0, 0, 0, 0x61,
                                                            0,    0, 0, 0,    0x01, 0, 0, 0, 1,
                                                            0,    0, 0, 0x58, 1,    0, 0, 0, 0x31}},
        {"a field with two values is two pairs of one name",
         {{"b", 3, {{"X", "1"}, {"X", "2"}}}},
         payload({{"b", 3, {{"X", "1"}, {"X", "2"}}}})},
        {"empty value and UTF-8 path",
         {{"/m\xC3\xBCsic/t.flac", 7, {{"MOOD", ""}, {"RATING", "4"}}}},
         payload({{"/m\xC3\xBCsic/t.flac", 7, {{"MOOD", ""}, {"RATING", "4"}}}})},
    };
    for (const auto& ex : examples) {
        SCOPED_TRACE(ex.name);
        store().remove_all();
        for (const auto& r : ex.content)
            put(r.path, r.subsong, r.pairs);
        std::string content = dump();
        EXPECT_EQ(serialise(), ex.expected);

        store().remove_all();
        deserialise(ex.expected);
        EXPECT_EQ(dump(), content);
    }
    EXPECT_EQ(examples[0].expected.size(), 27u);
}

TEST_F(ConfigStorage, StoreWithNothingToKeepIsWrittenAsAZeroCount) {
    EXPECT_EQ(serialise(), bytes({0, 0, 0, 0})) << "empty store";

    put("/music/one.mp3", 0, {{"RATING", "5"}});
    put("/music/two.mp3", 1, {{"PLAYED", "yes"}});
    for (storage_entry* entry : store().entries())
        entry->fields.assign(x_info_impl());
    ASSERT_EQ(store().entry_count(), 2u) << "emptied entries stay in the table";
    EXPECT_EQ(serialise(), bytes({0, 0, 0, 0}));
}

TEST_F(ConfigStorage, EntryWhoseLastFieldWasRemovedIsGoneAfterReload) {
    put("/music/kept.mp3", 0, {{"RATING", "3"}});
    put("/music/emptied.mp3", 0, {{"RATING", "1"}});
    store().get_handle(playable_location_impl("/music/emptied.mp3", 0))->fields.clear();
    deserialise(serialise());
    EXPECT_EQ(dump(), "/music/kept.mp3#0 RATING=3\n");
}

TEST_F(ConfigStorage, ReloadGivesBackTheSameStoreAndTheSameBytes) {
    put("/music/Album/01.flac", 0, {{"RATING", "5"}, {"GENRE", "jazz"}, {"GENRE", "bop"}});
    put("/music/cue.flac", 2, {{"RATING", "2"}});
    put("/music/cue.flac", 3, {{"rating", "4"}});
    put("/music/x.ogg", 0, {{"COMMENT", "line1\nline2"}});
    std::string before = dump();
    bytes saved = serialise();

    deserialise(saved);
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(serialise(), saved);
    for (const char* path : {"/music/Album/01.flac", "/music/x.ogg"})
        EXPECT_TRUE(is_found_by_lookup(path, 0)) << path;
    EXPECT_TRUE(is_found_by_lookup("/MUSIC/CUE.FLAC", 3));
}

TEST_F(ConfigStorage, NamesDifferingOnlyInCaseGatherInTheFirstSpelling) {
    deserialise(payload({{"t", 0, {{"Rating", "1"}, {"MOOD", "calm"}, {"RATING", "2"}}}}));
    EXPECT_EQ(dump(), "t#0 Rating=1|2 MOOD=calm\n");
}

TEST_F(ConfigStorage, LoadingReplacesWhatTheStoreHeld) {
    put("/music/old.mp3", 0, {{"RATING", "1"}});
    storage_entry_ptr held = store().get_handle(playable_location_impl("/music/old.mp3", 0));

    deserialise(payload({{"/music/new.mp3", 0, {{"RATING", "2"}}}}));
    EXPECT_EQ(dump(), "/music/new.mp3#0 RATING=2\n");
    EXPECT_FALSE(held->is_stored()) << "a handle held across the load is detached";
    EXPECT_TRUE(held->fields.empty());

    deserialise({0, 0, 0, 0});
    EXPECT_EQ(store().entry_count(), 0u);
}

// Damaged payloads: each must give a clean data error after allocating no more
// than the data could hold, and keep what was read before the damage.
TEST_F(ConfigStorage, CorruptPayloadGivesADataErrorAndKeepsWhatCameBefore) {
    const bytes good = payload({{"/music/good.mp3", 0, {{"RATING", "5"}}}});
    // `good` with its entry count raised to 2 and a damaged second record.
    auto after_good = [&](const bytes& second) {
        bytes data = good;
        data[0] = 2;
        data.insert(data.end(), second.begin(), second.end());
        return data;
    };
    bytes huge_path;
    put_u32(huge_path, 0xFFFFFFF0);
    huge_path.insert(huge_path.end(), 16, 'p');
    bytes huge_pair_count;
    put_string(huge_pair_count, "/music/bad.mp3");
    put_u32(huge_pair_count, 0);
    put_u32(huge_pair_count, 0x40000000);
    bytes huge_value = huge_pair_count;
    huge_value.resize(huge_value.size() - 4);
    put_u32(huge_value, 1);
    put_string(huge_value, "RATING");
    put_u32(huge_value, 0x7FFFFFFF);
    bytes cut_short = payload({{"/music/cut.mp3", 0, {{"RATING", "4"}}}});
    cut_short.erase(cut_short.begin(), cut_short.begin() + 4);
    cut_short.resize(cut_short.size() - 1);

    struct damage {
        const char* name;
        bytes data;
        std::string left;  // the store afterwards
    };
    const std::string untouched = "/music/before.mp3#0 RATING=1\n";
    const std::string good_only = "/music/good.mp3#0 RATING=5\n";
    const damage cases[] = {
        {"entry count far beyond the data", {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}, untouched},
        {"entry count one too many", after_good({}), good_only},
        {"path length beyond the data", after_good(huge_path), good_only},
        {"pair count beyond the data", after_good(huge_pair_count),
         good_only + "/music/bad.mp3#0\n"},
        {"value length beyond the data", after_good(huge_value), good_only + "/music/bad.mp3#0\n"},
        {"stream ends inside a value", after_good(cut_short), good_only + "/music/cut.mp3#0\n"},
        {"fewer than four bytes", {1, 0}, untouched},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        store().remove_all();
        put("/music/before.mp3", 0, {{"RATING", "1"}});
        EXPECT_THROW(deserialise(c.data), exception_io_data);
        EXPECT_EQ(sorted_lines(dump()), sorted_lines(c.left));
        for (const auto& entry : store().entries())
            EXPECT_TRUE(is_found_by_lookup(std::string(entry->location.path()), 0))
                << entry->location.path();
    }
}

TEST_F(ConfigStorage, RecordLongerThanItsSettingsRecordIsNotReadPastItsEnd) {
    // The payload announces a value that continues into the next settings record;
    // the size the host gives bounds it.
    bytes data = payload({{"/music/a.mp3", 0, {{"RATING", "5"}}}});
    bytes following(40, 'z');
    bytes stream = data;
    stream[stream.size() - 5] = 41;  // value length 41 where 1 byte is left
    stream.insert(stream.end(), following.begin(), following.end());
    stream_reader_memblock in(stream.data(), stream.size());
    abort_callback_dummy abort;
    EXPECT_THROW(custom_data_loader_saver.read_data(in, data.size(), abort), exception_io_data);
}

TEST_F(ConfigStorage, DamagedStoreRecordDoesNotCostTheOtherSettings) {
    cfg_remove_empty = 0;
    bytes stream;
    auto add_record = [&](const GUID& guid, const bytes& data) {
        uint8_t g[16];
        guid_to_bytes(guid, g);
        stream.insert(stream.end(), g, g + 16);
        put_u32(stream, uint32_t(data.size()));
        stream.insert(stream.end(), data.begin(), data.end());
    };
    bytes damaged = payload({{"/music/a.mp3", 0, {{"RATING", "5"}}}});
    damaged[0] = 0xFF;
    add_record(custom_data_loader_saver.get_guid(), damaged);
    add_record(cfg_remove_empty.get_guid(), {1, 0, 0, 0});

    stream_reader_memblock in(stream.data(), stream.size());
    abort_callback_dummy abort;
    EXPECT_NO_THROW(read_settings(in, abort));
    EXPECT_EQ(cfg_remove_empty.get(), 1);
    cfg_remove_empty = 0;
}

// The store's settings record as the settings stream lays out its GUID (first
// group 32-bit little-endian, then two 16-bit groups little-endian, then eight
// bytes in order): {0F699E58-AF3F-4B44-BCB1-6E9F79D109BA}. Earlier builds wrote it
// under {0F699E58-AF3F-4B44-BDBA-6E9F79D109BA}.
const bytes store_record_guid = {0x58, 0x9E, 0x69, 0x0F, 0x3F, 0xAF, 0x44, 0x4B,
                                 0xBC, 0xB1, 0x6E, 0x9F, 0x79, 0xD1, 0x09, 0xBA};
const bytes earlier_store_record_guid = {0x58, 0x9E, 0x69, 0x0F, 0x3F, 0xAF, 0x44, 0x4B,
                                         0xBD, 0xBA, 0x6E, 0x9F, 0x79, 0xD1, 0x09, 0xBA};

void add_settings_record(bytes& stream, const bytes& guid, const bytes& data) {
    stream.insert(stream.end(), guid.begin(), guid.end());
    put_u32(stream, uint32_t(data.size()));
    stream.insert(stream.end(), data.begin(), data.end());
}

TEST_F(ConfigStorage, StoreTravelsUnderItsGuidAndEarlierBuildsRecordIsReadOnlyWithoutIt) {
    const bytes mine = payload({{"/music/a.mp3", 0, {{"RATING", "5"}}}});
    const bytes earlier = payload({{"/music/old.mp3", 0, {{"RATING", "1"}}}});
    struct row {
        const char* what;
        std::vector<std::pair<const bytes*, const bytes*>> records;  // GUID, payload
        const char* expected;
    };
    const row rows[] = {
        {"this build's record", {{&store_record_guid, &mine}}, "/music/a.mp3#0 RATING=5\n"},
        {"an earlier build's record alone",
         {{&earlier_store_record_guid, &earlier}},
         "/music/old.mp3#0 RATING=1\n"},
        {"both, the earlier first",
         {{&earlier_store_record_guid, &earlier}, {&store_record_guid, &mine}},
         "/music/a.mp3#0 RATING=5\n"},
        {"both, the earlier last",
         {{&store_record_guid, &mine}, {&earlier_store_record_guid, &earlier}},
         "/music/a.mp3#0 RATING=5\n"},
    };
    for (const auto& r : rows) {
        store().remove_all();
        bytes stream;
        for (const auto& [guid, data] : r.records)
            add_settings_record(stream, *guid, *data);
        stream_reader_memblock in(stream.data(), stream.size());
        abort_callback_dummy abort;
        read_settings(in, abort);
        EXPECT_EQ(dump(), r.expected) << r.what;
    }

    // Written back: one record under this build's GUID, none under the earlier one.
    stream_writer_buffer out;
    abort_callback_dummy abort;
    write_settings(out, abort);
    const bytes& saved = out.data();
    size_t mine_found = 0, earlier_found = 0;
    for (size_t at = 0; at + 20 <= saved.size();) {
        const bytes guid(saved.begin() + std::ptrdiff_t(at),
                         saved.begin() + std::ptrdiff_t(at + 16));
        uint32_t length = uint32_t(saved[at + 16]) | uint32_t(saved[at + 17]) << 8 |
                          uint32_t(saved[at + 18]) << 16 | uint32_t(saved[at + 19]) << 24;
        if (guid == store_record_guid) {
            ++mine_found;
            EXPECT_EQ(bytes(saved.begin() + std::ptrdiff_t(at + 20),
                            saved.begin() + std::ptrdiff_t(at + 20 + length)),
                      mine);
        }
        earlier_found += guid == earlier_store_record_guid;
        at += 20 + length;
    }
    EXPECT_EQ(mine_found, 1u);
    EXPECT_EQ(earlier_found, 0u);
}

// A settings record of the store that announces far more bytes than the stream
// holds, then an entry count and a path length that fit in the announced bytes
// but not in the real ones: 28 bytes in all. The program's allocations are capped,
// so believing the path length would raise std::bad_alloc instead of a data error.
bytes hostile_settings(uint32_t path_length) {
    bytes stream = store_record_guid;
    put_u32(stream, 0xFFF90004);
    put_u32(stream, 83967);
    put_u32(stream, path_length);
    return stream;
}

TEST_F(ConfigStorage, SettingsRecordAnnouncingMoreThanItHoldsIsADataErrorInBoundedMemory) {
    const uint32_t path_lengths[] = {288u << 20, 0x80000000u};
    for (uint32_t path_length : path_lengths) {
        SCOPED_TRACE(path_length);
        store().remove_all();
        put("/music/before.mp3", 0, {{"RATING", "1"}});
        const bytes stream = hostile_settings(path_length);
        ASSERT_EQ(stream.size(), 28u);
        component_state::take_settings_damage();
        stream_reader_memblock in(stream.data(), stream.size());
        abort_callback_dummy abort;
        EXPECT_NO_THROW(read_settings(in, abort));
        // Eight bytes of payload exist: the entry count cannot fit, and the store
        // stays as it was.
        EXPECT_EQ(dump(), "/music/before.mp3#0 RATING=1\n");
        const auto damage = component_state::take_settings_damage();
        ASSERT_EQ(damage.size(), 1u);
        EXPECT_NE(damage[0].find("Corrupted configuration data: entry count larger than the data"),
                  std::string::npos)
            << damage[0];
    }
}

TEST_F(ConfigStorage, ManyDamagedSettingsRecordsAreToldTenInFullThenCounted) {
    // Twenty-five records of the store, each holding its 8 bytes honestly but
    // announcing an entry count that cannot fit in them.
    bytes stream;
    for (int n = 0; n < 25; ++n) {
        stream.insert(stream.end(), store_record_guid.begin(), store_record_guid.end());
        put_u32(stream, 8);
        put_u32(stream, 83967);
        put_u32(stream, 5);
    }
    component_state::take_settings_damage();
    stream_reader_memblock in(stream.data(), stream.size());
    abort_callback_dummy abort;
    EXPECT_NO_THROW(read_settings(in, abort));
    const auto damage = component_state::take_settings_damage();
    ASSERT_EQ(damage.size(), 11u);
    EXPECT_NE(damage[9].find("entry count larger than the data"), std::string::npos) << damage[9];
    EXPECT_EQ(damage[10], "15 more damaged settings records were read in part.");
    EXPECT_TRUE(component_state::take_settings_damage().empty()) << "told once";
}

// Paths, names and values end at their first zero byte when loaded, so what is
// loaded is what the next save writes back.
TEST_F(ConfigStorage, ZeroByteEndsAPathNameOrValueAndTheLoadIsStableAcrossSaves) {
    using namespace std::string_literals;
    struct row {
        const char* name;
        std::vector<record> content;
        std::string loaded;
    };
    const row rows[] = {
        {"name with a zero byte joins the field of its shorter name",
         {{"t", 0, {{"X", "1"}, {"Y\0"s, "2"}, {"Z", "3"}, {"Y", "4"}}}},
         "t#0 X=1 Y=2|4 Z=3\n"},
        {"value", {{"t", 0, {{"X", "a\0b"s}}}}, "t#0 X=a\n"},
        {"path", {{"t\0x"s, 0, {{"X", "1"}}}}, "t#0 X=1\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        deserialise(payload(r.content));
        EXPECT_EQ(dump(), r.loaded);
        const bytes saved = serialise();
        deserialise(saved);
        EXPECT_EQ(dump(), r.loaded);
        EXPECT_EQ(serialise(), saved);
    }
}

// Short paths add nothing to the hash, so these hash to their subsongs: the
// payload lists them in descending hash order, as no serialiser would.
TEST_F(ConfigStorage, RecordsInAnyOrderAreAllFoundAfterLoading) {
    deserialise(payload({{"x", 5, {{"N", "x"}}}, {"y", 1, {{"N", "y"}}}, {"z", 3, {{"N", "z"}}}}));
    EXPECT_EQ(dump(), "y#1 N=y\nz#3 N=z\nx#5 N=x\n");
    EXPECT_TRUE(is_found_by_lookup("x", 5));
    EXPECT_TRUE(is_found_by_lookup("y", 1));
    EXPECT_TRUE(is_found_by_lookup("z", 3));
}

TEST_F(ConfigStorage, RepeatedLocationKeepsItsFirstSpellingAndTheLaterFields) {
    deserialise(payload({{"/Music/Song.flac", 0, {{"RATING", "1"}}},
                         {"/other.mp3", 0, {{"RATING", "3"}}},
                         {"/music/SONG.flac", 0, {{"RATING", "5"}, {"MOOD", "up"}}}}));
    EXPECT_EQ(store().entry_count(), 2u);
    storage_entry_ptr song = store().get_handle(playable_location_impl("/music/song.flac", 0));
    EXPECT_EQ(song->location.path(), "/Music/Song.flac");
    EXPECT_STREQ(song->fields.value_by_name("RATING", 0), "5");
    EXPECT_STREQ(song->fields.value_by_name("MOOD", 0), "up");
    EXPECT_EQ(song->fields.value_count_by_name("RATING"), 1u);
    EXPECT_TRUE(is_found_by_lookup("/OTHER.MP3", 0));
}

// The save hook closes the active storage before the host takes the settings at
// exit; a save during the session must never run it.
int g_hook_calls = 0;
void counting_hook() {
    ++g_hook_calls;
}

TEST_F(ConfigStorage, SaveHookRunsOnlyWhenTheHostSavesAtExit) {
    test_host host;
    g_hook_calls = 0;
    tagshelf_storage_config_instance().open(&counting_hook);
    put("/music/a.mp3", 0, {{"RATING", "5"}});

    stream_writer_buffer settings;
    abort_callback_dummy abort;
    component_client_instance()->get_config(&settings, abort);
    EXPECT_EQ(g_hook_calls, 0) << "a save while the host runs";

    host.stop();
    EXPECT_EQ(g_hook_calls, 1) << "the save at exit";
}

TEST_F(ConfigStorage, MethodIsRegisteredWithItsLabelAndIdentity) {
    test_host host;
    auto methods = host.session().registry().all<tagshelf_storage>();
    size_t found = 0;
    for (const auto& method : methods) {
        if (method->get_guid() != tagshelf_storage_config::method_guid)
            continue;
        ++found;
        EXPECT_STREQ(method->get_name(), "Sonarith config file");
        EXPECT_EQ(guid_to_string(method->get_guid()), "{99F8068B-28CF-4C3C-81AB-09D84647A5F7}");
    }
    EXPECT_EQ(found, 1u);
}

// Opening and closing leave the store alone, and a value written through the
// method's writer goes out with the host's settings and comes back with them.
TEST_F(ConfigStorage, ValueWrittenThroughTheMethodComesBackWithTheHostSettings) {
    test_host host;
    tagshelf_storage& method = tagshelf_storage_config_instance();
    method.open(nullptr);
    metadb_handle_ptr track = host.track("song.flac", 2);
    {
        service_ptr_t<tagshelf_reader_writer> writer;
        method.get_writer(writer);
        tagshelf_handle_ptr handle;
        writer->get_handle(handle, track);
        writer->set_value(handle, "RATING", "4");
    }
    method.close();
    method.open(nullptr);
    host.stop();

    store().remove_all();
    auto saved = read_whole_file(host.profile() + "/configuration/snr_tagshelf.cfg");
    ASSERT_TRUE(saved.has_value());
    stream_reader_memblock in(saved->data(), saved->size());
    abort_callback_dummy abort;
    component_client_instance()->set_config(&in, abort);

    service_ptr_t<tagshelf_reader> reader;
    method.get_reader(reader);
    tagshelf_handle_ptr handle;
    reader->get_handle(handle, track);
    string8 value;
    EXPECT_TRUE(reader->get_value(handle, "rating", 0, value));
    EXPECT_STREQ(value.get_ptr(), "4");
}

// Rewrites the configured storage method inside a saved settings file, leaving
// every other record as the host wrote it.
void select_method(const std::string& settings_file, const GUID& method) {
    auto saved = read_whole_file(settings_file);
    ASSERT_TRUE(saved.has_value());
    bytes& data = *saved;
    for (size_t at = 0; at + 20 <= data.size();) {
        uint32_t length = uint32_t(data[at + 16]) | uint32_t(data[at + 17]) << 8 |
                          uint32_t(data[at + 18]) << 16 | uint32_t(data[at + 19]) << 24;
        if (guid_from_bytes(&data[at]) == cfg_storage_method.get_guid()) {
            ASSERT_EQ(length, 16u);
            guid_to_bytes(method, &data[at + 20]);
            write_file_atomically(settings_file, data);
            return;
        }
        at += 20 + length;
    }
    FAIL() << "no storage method record in " << settings_file;
}

TEST(ConfigStorageHost, FieldsKeptInTheConfigurationOutliveSessionsWithoutThatMethod) {
    temp_directory profile;
    const std::string settings = profile.file("configuration/snr_tagshelf.cfg");
    const std::string song = profile.file("music/song.mp3");
    auto host = [&](std::vector<std::string> words) {
        words.insert(words.begin(), {"--profile", profile.path()});
        return run_host(words);
    };
    ASSERT_EQ(host({"library", "add", song}).status, 0);
    select_method(settings, tagshelf_storage_config::method_guid);
    auto set = host({"fields", "set", song, "RATING", "5"});
    ASSERT_EQ(set.status, 0) << set.err;

    select_method(settings, guid_null);
    EXPECT_NE(host({"fields", "get", song, "RATING"}).status, 0) << "no storage is active";

    select_method(settings, tagshelf_storage_config::method_guid);
    auto get = host({"fields", "get", song, "RATING"});
    EXPECT_EQ(get.status, 0) << get.err;
    EXPECT_EQ(get.out, "5\n");
}

TEST(ConfigStorageHost, HostileSettingsRecordCostsBoundedMemoryAndTheSessionGoesOn) {
    const uint32_t path_lengths[] = {288u << 20, 0x80000000u};
    temp_directory idle_profile;
    host_run idle = run_host({"--profile", idle_profile.path(), "storage", "stats"});
    ASSERT_EQ(idle.status, 0) << idle.err;
    const long idle_kib = idle.peak_kib;
    ASSERT_GT(idle_kib, 0);
    for (uint32_t path_length : path_lengths) {
        SCOPED_TRACE(path_length);
        temp_directory profile;
        std::filesystem::create_directories(profile.file("configuration"));
        write_file_atomically(profile.file("configuration/snr_tagshelf.cfg"),
                              hostile_settings(path_length));
        host_run run = run_host({"--profile", profile.path(), "storage", "stats"});
        const long kib = run.peak_kib;
        EXPECT_EQ(run.status, 1) << "the session runs to its end and tells of the error: "
                                 << run.err;
        EXPECT_LT(kib - idle_kib, 64 * 1024) << "peak " << kib << " KiB, idle " << idle_kib;
        EXPECT_NE(run.err.find("ERROR : Damaged settings record"), std::string::npos) << run.err;
    }
}

}  // namespace
