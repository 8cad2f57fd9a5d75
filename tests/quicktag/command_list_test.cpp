// The quick-tag command list: its defaults, its persisted form inside the host's
// configuration, sorting and resetting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/component_client.h"
#include "quicktag/cfg_quicktag_entries.h"
#include "sdk/stream.h"

namespace {

using bytes = std::vector<uint8_t>;
using entries = std::vector<quicktag_entry>;

// Every test starts from and leaves behind the list as the component starts.
class CommandList : public ::testing::Test {
protected:
    void TearDown() override { cfg_quicktag_entries.reset_to_defaults(); }
};

bytes persisted(const entries& list) {
    stream_writer_buffer out;
    abort_callback_dummy abort;
    cfg_quicktag_entries_t::write_entries(list, out, abort);
    return out.data();
}

void append_u32(bytes& to, uint32_t n) {
    for (int i = 0; i < 4; ++i)
        to.push_back(uint8_t(n >> (8 * i)));
}

// A settings stream holding only the command list's record.
bytes settings_with_list(const bytes& data) {
    bytes stream(16);
    guid_to_bytes(cfg_quicktag_entries.get_guid(), stream.data());
    append_u32(stream, uint32_t(data.size()));
    stream.insert(stream.end(), data.begin(), data.end());
    return stream;
}

void load_settings(const bytes& stream) {
    stream_reader_memblock in(stream.data(), stream.size());
    abort_callback_dummy abort;
    read_settings(in, abort);
}

bytes saved_settings() {
    stream_writer_buffer out;
    abort_callback_dummy abort;
    write_settings(out, abort);
    return out.data();
}

std::vector<std::string> display_names() {
    std::vector<std::string> names;
    for (const auto& entry : cfg_quicktag_entries.entries())
        names.push_back(entry.display_name);
    return names;
}

const entries default_commands = {
    {"Tag Shelf/Rate 5", "RATING", "5"},
    {"Tag Shelf/Rate 4", "RATING", "4"},
    {"Tag Shelf/Rate 3", "RATING", "3"},
    {"Tag Shelf/Rate 2", "RATING", "2"},
    {"Tag Shelf/Rate 1", "RATING", "1"},
    {"Tag Shelf/Rate 0", "RATING", "0"},
    {"Tag Shelf/Rate +1", "RATING", "$add(%RATING%,1)"},
    {"Tag Shelf/Rate -1", "RATING", "$sub(%RATING%,1)"},
};

TEST_F(CommandList, NewConfigurationHasTheEightDefaultCommandsInOrder) {
    EXPECT_EQ(cfg_quicktag_entries.entries(), default_commands);
}

TEST_F(CommandList, ResetDiscardsUserCommandsAndRestoresTheDefaults) {
    cfg_quicktag_entries.add_item({"Mine/Mood", "MOOD", "calm"});
    cfg_quicktag_entries.remove_by_idx(0);
    cfg_quicktag_entries[0].value = "changed";
    cfg_quicktag_entries.reset_to_defaults();
    EXPECT_EQ(cfg_quicktag_entries.entries(), default_commands);
}

TEST_F(CommandList, SavedEmptyListLoadsEmptyNotAsTheDefaults) {
    load_settings(settings_with_list({0, 0, 0, 0}));
    EXPECT_EQ(cfg_quicktag_entries.get_count(), 0u);
}

TEST_F(CommandList, ConfigurationWithoutTheListKeepsTheDefaults) {
    bytes other(16, 0xAB);
    append_u32(other, 0);
    load_settings(other);
    EXPECT_EQ(cfg_quicktag_entries.entries(), default_commands);
}

TEST_F(CommandList, PersistedFormIsCountThenLengthPrefixedStrings) {
    EXPECT_EQ(persisted({{"A", "B", ""}}),
              (bytes{1, 0, 0, 0, 1, 0, 0, 0, 0x41, 1, 0, 0, 0, 0x42, 0, 0, 0, 0}));
    bytes two_empty = {2, 0, 0, 0};
    two_empty.resize(4 + 2 * 12, 0);
    EXPECT_EQ(persisted({{}, {}}), two_empty) << "twelve zero bytes per empty entry";
}

TEST_F(CommandList, CommandsComeBackUnchangedFromTheConfiguration) {
    const entries mine = {
        {"", "", ""},
        {"Étiquettes/Note ★★★", "ÉVALUATION|#GENRE", "3|Musique du monde"},
        {"日本語/評価", "評価", "$add(%評価%,1)"},
        {"Tag Shelf/Rate 3", "RATING", "3"},
    };
    cfg_quicktag_entries.set_entries(mine);
    bytes saved = saved_settings();
    cfg_quicktag_entries.reset_to_defaults();
    load_settings(saved);
    EXPECT_EQ(cfg_quicktag_entries.entries(), mine);
}

TEST_F(CommandList, DamagedRecordInTheConfigurationKeepsTheCommandsReadBeforeIt) {
    bytes data = persisted({{"Keep/One", "A", "1"}, {"Lost/Two", "B", "2"}});
    data.resize(data.size() - 3);  // the second entry's value is cut short
    load_settings(settings_with_list(data));
    EXPECT_EQ(cfg_quicktag_entries.entries(), (entries{{"Keep/One", "A", "1"}}));
}

TEST_F(CommandList, HugeAnnouncedLengthFailsWithoutExhaustingMemory) {
    bytes data = {1, 0, 0, 0};
    append_u32(data, 0xFFFFFFF0u);
    data.insert(data.end(), {'x', 'y'});
    stream_reader_memblock in(data.data(), data.size());
    abort_callback_dummy abort;
    EXPECT_THROW(cfg_quicktag_entries_t::read_entries(in, abort), exception_io_data);
}

TEST_F(CommandList, SortComparesWholeDisplayNamesMenuPathIncluded) {
    cfg_quicktag_entries.set_entries({
        {"Zeta/Alpha", "Z", ""},
        {"Alpha/Zeta", "A", ""},
        {"beta/Middle", "B", ""},
        {"Alpha/Beta", "A", ""},
        {"Top", "T", ""},
    });
    cfg_quicktag_entries.sort_by_display_name();
    EXPECT_EQ(display_names(), (std::vector<std::string>{"Alpha/Beta", "Alpha/Zeta", "beta/Middle",
                                                         "Top", "Zeta/Alpha"}))
        << "every Alpha/ entry before every entry of a greater menu, letter case aside";
}

TEST_F(CommandList, SortingASortedListChangesNothing) {
    cfg_quicktag_entries.set_entries({{"A/1", "X", "1"}, {"A/2", "Y", "2"}, {"B/1", "Z", "3"}});
    entries before = cfg_quicktag_entries.entries();
    cfg_quicktag_entries.sort_by_display_name();
    EXPECT_EQ(cfg_quicktag_entries.entries(), before);
}

}  // namespace
