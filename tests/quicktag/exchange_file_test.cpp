// The ".qtg" exchange file: exporting and importing the whole command list, and
// what the user is told when a file cannot be used.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frame/config_vars.h"
#include "quicktag/cfg_quicktag_entries.h"
#include "quicktag/qtg_file.h"
#include "support/file_size_limit.h"
#include "support/test_host.h"

namespace {

using entries = std::vector<quicktag_entry>;
using bytes = std::vector<uint8_t>;

const bytes header = {0x1A, 0xE0, 0x5B, 0x00, 0xA1, 0x9A, 0xAC, 0x45,
                      0xAF, 0x2D, 0x45, 0x43, 0x2F, 0x7A, 0x8C, 0xAE};

const entries mine = {
    {"Mood/Calm", "MOOD", "calm"},
    {"Étiquettes/Note ★★★", "ÉVALUATION|#GENRE", "3|Musique du monde"},
    {"日本語/評価", "評価", "$add(%評価%,1)"},
    {"", "", ""},
};

class ExchangeFile : public ::testing::Test {
protected:
    void SetUp() override {
        cfg_quicktag_entries.reset_to_defaults();
        cfg_qtg_last_path = "";
    }
    void TearDown() override {
        cfg_quicktag_entries.reset_to_defaults();
        cfg_qtg_last_path = "";
    }

    std::string path(const std::string& name) const { return host.profile() + "/" + name; }
    bytes file_bytes(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return bytes(std::istreambuf_iterator<char>(in), {});
    }
    void write_file(const std::string& name, const bytes& data) const {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    }
    // Console lines printed since the test began.
    const std::vector<std::string>& console() { return host.session().console().lines(); }
    // A valid exchange file holding `list`, as bytes.
    bytes exported(const entries& list) {
        stream_writer_buffer out;
        abort_callback_dummy abort;
        cfg_quicktag_entries_t::write_entries(list, out, abort);
        bytes data = header;
        data.insert(data.end(), out.data().begin(), out.data().end());
        return data;
    }

    test_host host;
};

TEST_F(ExchangeFile, ExportThenImportGivesBackTheSameListInOrder) {
    cfg_quicktag_entries.set_entries(mine);
    ASSERT_TRUE(quicktag_export(path("mine.qtg").c_str()));
    EXPECT_EQ(cfg_qtg_last_path.get(), path("mine.qtg"));
    cfg_quicktag_entries.reset_to_defaults();
    cfg_qtg_last_path = "";

    ASSERT_TRUE(quicktag_import(path("mine.qtg").c_str()));
    EXPECT_EQ(cfg_quicktag_entries.entries(), mine) << "non-ASCII text comes back byte for byte";
    EXPECT_EQ(cfg_qtg_last_path.get(), path("mine.qtg"));
    EXPECT_TRUE(console().empty());
}

TEST_F(ExchangeFile, ExportedFileIsTheHeaderThenThePersistedList) {
    cfg_quicktag_entries.set_entries({{"A", "B", ""}});
    ASSERT_TRUE(quicktag_export(path("a.qtg").c_str()));
    bytes expected = header;
    expected.insert(expected.end(), {1, 0, 0, 0, 1, 0, 0, 0, 0x41, 1, 0, 0, 0, 0x42, 0, 0, 0, 0});
    EXPECT_EQ(file_bytes("a.qtg"), expected);
}

TEST_F(ExchangeFile, UnusableFilesAreReportedOnTheConsoleAndKeepTheCommands) {
    cfg_quicktag_entries.set_entries(mine);
    bytes foreign = exported({{"X/Y", "Z", "1"}});
    foreign[0] ^= 0xFF;
    bytes truncated = exported({{"X/One", "A", "1"}, {"X/Two", "B", "2"}});
    truncated.resize(truncated.size() - 1);
    bytes count_only = header;
    count_only.insert(count_only.end(), {3, 0, 0, 0});

    struct row {
        const char* what;
        bytes content;
        const char* message;
    };
    const row rows[] = {
        {"foreign header", foreign, "ERROR : invalid file."},
        {"shorter than the header", bytes(header.begin(), header.begin() + 10),
         "ERROR : error reading file"},
        {"empty file", {}, "ERROR : error reading file"},
        {"header without a list", header, "ERROR : error reading file"},
        {"records that stop early", truncated, "ERROR : error reading file"},
        {"count without records", count_only, "ERROR : error reading file"},
    };
    for (const auto& r : rows) {
        size_t printed = console().size();
        write_file("bad.qtg", r.content);
        cfg_qtg_last_path = "";
        EXPECT_FALSE(quicktag_import(path("bad.qtg").c_str())) << r.what;
        ASSERT_EQ(console().size(), printed + 1) << r.what;
        EXPECT_EQ(console().back(), r.message) << r.what;
        EXPECT_EQ(cfg_quicktag_entries.entries(), mine) << "the user's commands stay: " << r.what;
        EXPECT_EQ(cfg_qtg_last_path.get(), path("bad.qtg")) << r.what;
    }
    EXPECT_TRUE(host.session().windows().prompts().message_boxes().empty())
        << "the console is the only report";
}

TEST_F(ExchangeFile, MissingFileIsReportedAndForgetsNothing) {
    cfg_qtg_last_path = "/earlier/choice.qtg";
    EXPECT_FALSE(quicktag_import(path("missing.qtg").c_str()));
    ASSERT_FALSE(console().empty());
    EXPECT_EQ(console().back(), "ERROR : unable to open file.");
    EXPECT_EQ(cfg_quicktag_entries.get_count(), 8u);
    EXPECT_EQ(cfg_qtg_last_path.get(), "/earlier/choice.qtg");
}

TEST_F(ExchangeFile, ExportThatFailsPartWayKeepsThePreviousFile) {
    cfg_quicktag_entries.set_entries({{"A", "B", ""}});
    ASSERT_TRUE(quicktag_export(path("mine.qtg").c_str()));
    const bytes previous = file_bytes("mine.qtg");
    ASSERT_EQ(previous.size(), 34u);

    cfg_quicktag_entries.set_entries(entries(20, {"Mood/Calm", "MOOD", "calm"}));
    {
        file_size_limit limit(100);  // the new list needs several hundred bytes
        EXPECT_FALSE(quicktag_export(path("mine.qtg").c_str()));
    }
    ASSERT_FALSE(console().empty());
    EXPECT_EQ(console().back(), "ERROR : error writing file");
    EXPECT_EQ(file_bytes("mine.qtg"), previous) << "the previous export is still whole";
    EXPECT_FALSE(std::filesystem::exists(path("mine.qtg.tmp")));

    ASSERT_TRUE(quicktag_export(path("mine.qtg").c_str()));
    EXPECT_GT(file_bytes("mine.qtg").size(), 100u) << "without the limit the export replaces it";
    EXPECT_FALSE(std::filesystem::exists(path("mine.qtg.tmp")));
}

TEST_F(ExchangeFile, UnwritablePlaceIsReportedAndForgetsNothing) {
    cfg_qtg_last_path = "/earlier/choice.qtg";
    EXPECT_FALSE(quicktag_export(path("no/such/folder/x.qtg").c_str()));
    ASSERT_FALSE(console().empty());
    EXPECT_EQ(console().back(),
              "ERROR : unable to save file, check you have appropriate write permissions etc.");
    EXPECT_EQ(cfg_qtg_last_path.get(), "/earlier/choice.qtg");
    EXPECT_FALSE(std::filesystem::exists(path("no")));
}

}  // namespace
