// The settings stream the host keeps for the component: records of GUID, length
// and data, read back tolerantly.
#include <gtest/gtest.h>

#include <vector>

#include "frame/component_client.h"
#include "frame/config_vars.h"
#include "sdk/stream.h"

namespace {

using bytes = std::vector<uint8_t>;

void add_record(bytes& stream, const GUID& guid, const bytes& data) {
    uint8_t g[16];
    guid_to_bytes(guid, g);
    stream.insert(stream.end(), g, g + 16);
    uint32_t n = uint32_t(data.size());
    for (int i = 0; i < 4; ++i)
        stream.push_back(uint8_t(n >> (8 * i)));
    stream.insert(stream.end(), data.begin(), data.end());
}

void read_stream(const bytes& stream) {
    stream_reader_memblock reader(stream.data(), stream.size());
    abort_callback_dummy abort;
    read_settings(reader, abort);
}

bytes written_settings() {
    stream_writer_buffer out;
    abort_callback_dummy abort;
    write_settings(out, abort);
    return out.data();
}

const GUID unknown_guid = {0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}};

TEST(SettingsStream, EmptyStreamKeepsEveryDefault) {
    read_stream({});
    EXPECT_EQ(cfg_context_menu_enabled.get(), 1);
    EXPECT_EQ(cfg_titleformat_values.get(), 1);
    EXPECT_EQ(cfg_remove_empty.get(), 0);
    EXPECT_EQ(cfg_prefs_last_tab.get(), 0);
    EXPECT_EQ(cfg_qtg_last_path.get(), "");
    EXPECT_EQ(cfg_field_processing.get(), 1);
    EXPECT_EQ(cfg_function_processing.get(), 1);
    EXPECT_EQ(cfg_library_only.get(), 1);
    EXPECT_EQ(cfg_storage_method.get(), guid_null) << "a fresh installation stores nothing";
}

TEST(SettingsStream, UnknownRecordIsSkippedExactly) {
    bytes stream;
    add_record(stream, unknown_guid, {1, 2, 3, 4, 5});
    add_record(stream, cfg_context_menu_enabled.get_guid(), {0, 0, 0, 0});
    read_stream(stream);
    EXPECT_EQ(cfg_context_menu_enabled.get(), 0) << "the record after the unknown one is read";
}

TEST(SettingsStream, ShortRecordIsSwallowedAndTheNextOneStillRead) {
    bytes stream;
    add_record(stream, cfg_prefs_last_tab.get_guid(), {7, 0});
    add_record(stream, cfg_remove_empty.get_guid(), {1, 0, 0, 0});
    read_stream(stream);
    EXPECT_EQ(cfg_prefs_last_tab.get(), 0) << "a 2-byte record cannot set a 32-bit value";
    EXPECT_EQ(cfg_remove_empty.get(), 1);
}

TEST(SettingsStream, LongRecordTakesItsValueAndSkipsTheRest) {
    bytes stream;
    add_record(stream, cfg_prefs_last_tab.get_guid(), {1, 0, 0, 0, 0xEE, 0xEE});
    add_record(stream, cfg_library_only.get_guid(), {0, 0, 0, 0});
    read_stream(stream);
    EXPECT_EQ(cfg_prefs_last_tab.get(), 1);
    EXPECT_EQ(cfg_library_only.get(), 0);
}

TEST(SettingsStream, ZeroLengthStringRecordGivesTheEmptyText) {
    cfg_qtg_last_path = "/old/path.qtg";
    bytes stream;
    add_record(stream, cfg_qtg_last_path.get_guid(), {});
    read_stream(stream);
    EXPECT_EQ(cfg_qtg_last_path.get(), "");
}

TEST(SettingsStream, SixteenZeroBytesMeanNoStorage) {
    cfg_storage_method =
        GUID{0x99F8068B, 0x28CF, 0x4C3C, {0x81, 0xAB, 0x09, 0xD8, 0x46, 0x47, 0xA5, 0xF7}};
    bytes stream;
    add_record(stream, cfg_storage_method.get_guid(), bytes(16, 0));
    read_stream(stream);
    EXPECT_EQ(cfg_storage_method.get(), guid_null);
}

TEST(SettingsStream, TrailingPartialHeaderEndsReading) {
    bytes stream;
    add_record(stream, cfg_function_processing.get_guid(), {0, 0, 0, 0});
    stream.insert(stream.end(), {1, 2, 3});
    EXPECT_NO_THROW(read_stream(stream));
    EXPECT_EQ(cfg_function_processing.get(), 0);
}

TEST(SettingsStream, RecordCutShortByTheEndOfTheStreamIsSwallowed) {
    bytes stream;
    add_record(stream, cfg_field_processing.get_guid(), {0, 0, 0, 0});
    add_record(stream, cfg_qtg_last_path.get_guid(), {'a', 'b', 'c'});
    stream[stream.size() - 7] = 200;  // announce 200 bytes where 3 remain
    EXPECT_NO_THROW(read_stream(stream));
    EXPECT_EQ(cfg_field_processing.get(), 0);
    EXPECT_EQ(cfg_qtg_last_path.get(), "abc");
}

TEST(SettingsStream, WrittenSettingsReadBackUnchanged) {
    cfg_remove_empty = 1;
    cfg_qtg_last_path = "/home/user/tags.qtg";
    cfg_storage_method =
        GUID{0x4D8C0737, 0x63D6, 0x40DD, {0x8C, 0xCD, 0x60, 0x6B, 0x3B, 0xBD, 0x49, 0x61}};
    bytes saved = written_settings();
    cfg_remove_empty = 0;
    cfg_qtg_last_path = "";
    cfg_storage_method = guid_null;
    read_stream(saved);
    EXPECT_EQ(cfg_remove_empty.get(), 1);
    EXPECT_EQ(cfg_qtg_last_path.get(), "/home/user/tags.qtg");
    EXPECT_EQ(guid_to_string(cfg_storage_method.get()), "{4D8C0737-63D6-40DD-8CCD-606B3BBD4961}");
}

TEST(SettingsStream, VariablesAreWrittenInReverseConstructionOrder) {
    bytes saved = written_settings();
    std::vector<GUID> order;
    for (size_t at = 0; at + 20 <= saved.size();) {
        order.push_back(guid_from_bytes(&saved[at]));
        uint32_t n = uint32_t(saved[at + 16]) | uint32_t(saved[at + 17]) << 8 |
                     uint32_t(saved[at + 18]) << 16 | uint32_t(saved[at + 19]) << 24;
        at += 20 + n;
    }
    ASSERT_GE(order.size(), 9u);
    // The first nine variables built; later ones (command list, storage content) come first.
    std::vector<GUID> tail(order.end() - 9, order.end());
    std::vector<GUID> expected = {
        cfg_storage_method.get_guid(),      cfg_library_only.get_guid(),
        cfg_function_processing.get_guid(), cfg_field_processing.get_guid(),
        cfg_qtg_last_path.get_guid(),       cfg_prefs_last_tab.get_guid(),
        cfg_remove_empty.get_guid(),        cfg_titleformat_values.get_guid(),
        cfg_context_menu_enabled.get_guid()};
    EXPECT_EQ(tail, expected);
}

}  // namespace
