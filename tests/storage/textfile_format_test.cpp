// What the text file holds and how it is read back: the format byte for byte,
// every way a damaged file is refused, and the values that must survive a
// close and open unchanged.
#include <algorithm>

#include "storage/textfile_fixture.h"

namespace {

using TextFile = TextFileStorageTest;

// One entry, path x, subsong 0: RATING 5, MOOD calm and warm.
const std::vector<std::string> worked_example = {textfile_header, "1", "x",    "0", "3",    "6",
                                                 "RATING",        "1", "5",    "4", "MOOD", "4",
                                                 "calm",          "4", "MOOD", "4", "warm"};

TEST_F(TextFile, WritesTheWorkedExampleByteForByteAndReadsItBack) {
    storage().open(nullptr);
    add("x", 0, "RATING", "5");
    add("x", 0, "MOOD", "calm");
    add("x", 0, "MOOD", "warm");
    storage().close();
    EXPECT_EQ(read_file(data_file()), crlf_lines(worked_example));

    std::map<std::string, std::string> expected = {{"x#0", "RATING=5;MOOD=calm|warm"}};
    EXPECT_EQ(reopened_contents(), expected);
    EXPECT_EQ(read_file(data_file()), crlf_lines(worked_example));
    EXPECT_FALSE(file_exists(backup_file()));
    EXPECT_FALSE(file_exists(temporary_file()));
}

TEST_F(TextFile, FirstOpenCreatesAFileThatOpensEvenWithoutAClose) {
    ASSERT_FALSE(file_exists(data_file()));
    storage().open(nullptr);
    EXPECT_EQ(read_file(data_file()), crlf_lines({textfile_header, "0"}));
    // The host ends here without closing; the next start must still get in.
    store().remove_all();
    EXPECT_EQ(failure_of([&] { storage().open(nullptr); }), "");
    EXPECT_TRUE(contents().empty());
    storage().close();
}

TEST_F(TextFile, ZeroByteFileOpensAsAnEmptyStore) {
    write_file(data_file(), "");
    EXPECT_EQ(failure_of([&] { storage().open(nullptr); }), "");
    EXPECT_TRUE(contents().empty());
    storage().close();
    EXPECT_EQ(read_file(data_file()), crlf_lines({textfile_header, "0"}));
}

TEST_F(TextFile, EntriesWithoutFieldsAreNotWritten) {
    storage().open(nullptr);
    add("kept", 0, "RATING", "1");
    add("emptied", 0, "RATING", "2");
    {
        service_ptr_t<tagshelf_reader_writer> writer;
        storage().get_writer(writer);
        tagshelf_handle_ptr handle;
        writer->get_handle(handle, track("emptied"));
        writer->remove_field(handle, "rating");
        ASSERT_EQ(writer->get_entry_count(), 2);
    }
    storage().close();
    EXPECT_EQ(read_file(data_file()),
              crlf_lines({textfile_header, "1", "kept", "0", "1", "6", "RATING", "1", "1"}));
}

struct damaged_file {
    const char* what;
    std::string bytes;
    const char* message;  // after "Couldn't read file tagshelf.txt. "
};

// A good record before the damage, so that a refused file is seen to leave
// nothing of what was read before the fault.
std::string good_then(const std::vector<std::string>& rest, const char* count = "2") {
    std::vector<std::string> lines = {textfile_header, count, "good", "0", "1", "1", "A", "1", "a"};
    lines.insert(lines.end(), rest.begin(), rest.end());
    return crlf_lines(lines);
}

TEST_F(TextFile, DamagedFilesAreRefusedWithTheirReasonAndLeftUnchanged) {
    const std::string header = std::string(textfile_header) + "\r\n";
    const std::vector<damaged_file> cases = {
        {"other GUID", crlf_lines({"00000000-0000-0000-0000-000000000000", "0"}),
         "Incorrect file header."},
        {"header not a GUID", crlf_lines({"tagshelf", "0"}), "Incorrect file header."},
        {"LF-only line ends", std::string(textfile_header) + "\n1\nx\n0\n1\n1\nA\n1\na\n",
         "Invalid integer."},
        {"leading zero", header + "007\r\n", "Invalid integer."},
        {"plus sign", header + "+7\r\n", "Invalid integer."},
        {"blank before", header + " 7\r\n", "Invalid integer."},
        {"blank after", header + "7 \r\n", "Invalid integer."},
        {"minus zero", header + "-0\r\n", "Invalid integer."},
        {"count too large", header + "2147483648\r\n", "Invalid integer."},
        {"empty count", header + "\r\n", "Invalid integer."},
        {"subsong too large", good_then({"p", "4294967296", "0"}), "Invalid integer."},
        {"pair count too large", good_then({"p", "0", "2147483648"}), "Invalid integer."},
        {"record cut short", good_then({"p", "0"}), "Invalid integer."},
        {"empty path", good_then({"", "0", "0"}), "Filename not valid"},
        {"path empty up to a zero byte", good_then({std::string("\0p", 2), "0", "0"}),
         "Filename not valid"},
        {"path not UTF-8", good_then({"p\xff", "0", "0"}), "Filename not valid"},
        {"fewer entries than counted", good_then({}, "3"), "Filename not valid"},
        {"huge entry count", good_then({}, "2147483647"), "Filename not valid"},
        {"name longer than the file", good_then({"p", "0", "1", "99", "A"}),
         "Invalid file format or disk error."},
        {"huge name length", good_then({"p", "0", "1", "2147483647", "A"}),
         "Invalid file format or disk error."},
        {"value longer than the file", good_then({"p", "0", "1", "1", "A", "9", "v"}),
         "Invalid file format or disk error."},
        {"name not UTF-8", good_then({"p", "0", "1", "1", "\xc3", "1", "v"}),
         "Field name not utf-8."},
        {"value not UTF-8", good_then({"p", "0", "1", "1", "A", "1", "\x80"}),
         "Value string not utf-8."},
        {"name shorter than said", good_then({"p", "0", "1", "1", "AB", "1", "v"}),
         "Invalid file format, line change expected."},
        {"value shorter than said", good_then({"p", "0", "1", "1", "A", "1", "vw"}),
         "Invalid file format, line change expected."},
        {"trailing CR LF", good_then({"p", "0", "0", ""}), "End of file expected."},
        {"trailing text", good_then({"p", "0", "0", "x"}), "End of file expected."},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        write_file(data_file(), row.bytes);
        EXPECT_EQ(failure_of([&] { storage().open(nullptr); }),
                  std::string("Couldn't read file tagshelf.txt. ") + row.message);
        EXPECT_EQ(store().entry_count(), 0u);
        EXPECT_EQ(read_file(data_file()), row.bytes);
        EXPECT_FALSE(file_exists(backup_file()));
        // A refused file must not be overwritten by a close that follows.
        storage().close();
        EXPECT_EQ(read_file(data_file()), row.bytes);
    }
}

TEST_F(TextFile, HeaderIsAcceptedInLowerCaseAndWithBraces) {
    std::string lower = textfile_header;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    for (const std::string& header : {lower, "{" + std::string(textfile_header) + "}"}) {
        SCOPED_TRACE(header);
        write_file(data_file(), crlf_lines({header, "1", "p", "0", "1", "1", "A", "1", "a"}));
        std::map<std::string, std::string> expected = {{"p#0", "A=a"}};
        EXPECT_EQ(reopened_contents(), expected);
    }
}

TEST_F(TextFile, IntegerLinesAcceptTheirWholeRange) {
    write_file(data_file(), crlf_lines({textfile_header, "2", "p", "0", "0", "q", "4294967295", "1",
                                        "0", "", "10", "0123456789"}));
    std::map<std::string, std::string> expected = {{"q#4294967295", "=0123456789"}};
    EXPECT_EQ(reopened_contents(), expected);
}

TEST_F(TextFile, PathsDifferingOnlyInCaseLoadAsOneEntryWithTheLaterFields) {
    write_file(data_file(),
               crlf_lines({textfile_header, "3",     "Song.mp3", "1", "1", "1", "A",   "5",
                           "early",         "other", "0",        "1", "1", "B", "1",   "b",
                           "SONG.MP3",      "1",     "1",        "1", "C", "4", "late"}));
    storage().open(nullptr);
    EXPECT_EQ(store().entry_count(), 2u);
    std::map<std::string, std::string> expected = {{"Song.mp3#1", "C=late"}, {"other#0", "B=b"}};
    EXPECT_EQ(contents(), expected);
    storage().close();
}

TEST_F(TextFile, RecordWithoutPairsIsAcceptedAndNotWrittenBack) {
    write_file(data_file(), crlf_lines({textfile_header, "3", "a", "0", "1", "1", "A", "1", "x",
                                        "b", "0", "1", "1", "B", "1", "y", "A", "0", "0"}));
    storage().open(nullptr);
    // The empty record for "A" replaces the fields read for "a" before it.
    EXPECT_EQ(store().entry_count(), 2u);
    std::map<std::string, std::string> expected = {{"b#0", "B=y"}};
    EXPECT_EQ(contents(), expected);
    storage().close();
    EXPECT_EQ(read_file(data_file()),
              crlf_lines({textfile_header, "1", "b", "0", "1", "1", "B", "1", "y"}));
}

TEST_F(TextFile, RepeatedNamesGatherTheirValuesInOneField) {
    write_file(data_file(), crlf_lines({textfile_header, "1", "p", "0", "3", "4", "MOOD", "4",
                                        "calm", "1", "A", "1", "a", "4", "mood", "4", "warm"}));
    std::map<std::string, std::string> expected = {{"p#0", "MOOD=calm|warm;A=a"}};
    EXPECT_EQ(reopened_contents(), expected);
}

// A path, name or value ends at its first zero byte, as in every method; what is
// loaded is what the next close writes, so it loads the same again.
TEST_F(TextFile, ZeroByteEndsAPathNameOrValueAndTheLoadIsStableAcrossCloses) {
    using namespace std::string_literals;
    write_file(data_file(),
               crlf_lines({textfile_header, "2",     "t", "0", "4", "1", "X", "1", "1", "2",
                           "Y\0"s,          "1",     "2", "1", "Z", "1", "3", "1", "Y", "3",
                           "4\0z"s,         "u\0v"s, "0", "1", "1", "A", "1", "a"}));
    const std::map<std::string, std::string> expected = {{"t#0", "X=1;Y=2|4;Z=3"}, {"u#0", "A=a"}};
    EXPECT_EQ(reopened_contents(), expected);
    const std::string saved = read_file(data_file());
    EXPECT_EQ(reopened_contents(), expected);
    EXPECT_EQ(read_file(data_file()), saved);
}

TEST_F(TextFile, UnusualNamesAndValuesSurviveACloseAndOpen) {
    const std::string two_lines = "first line\r\nsecond line\r\n";
    storage().open(nullptr);
    add(music("a.mp3"), 0, "COMMENT", two_lines.c_str());
    add(music("a.mp3"), 0, "COMMENT", "\r");
    add(music("a.mp3"), 0, "COMMENT", "\n\n");
    add(music("a.mp3"), 0, "EMPTY", "");
    add(music("a.mp3"), 0, "NAME\r\nWITH BREAK", "v");
    add(music("a.mp3"), 0, "", "nameless");
    add(music("ünïcödé ♪.mp3"), 4000000000u, "RATING", "5");
    add(music("lone\rcr.mp3"), 0, "RATING", "4");
    add(music("lone\nlf.mp3"), 0, "RATING", "3");
    // A Windows player's notation: a drive letter or a share, and backslashes.
    add("file://C:\\Music\\a.flac", 1, "RATING", "2");
    add("file://\\\\server\\music\\b.flac", 0, "RATING", "1");
    auto before = contents();
    storage().close();
    EXPECT_EQ(reopened_contents(), before);
    EXPECT_EQ(before[music("a.mp3") + "#0"],
              "COMMENT=" + two_lines + "|\r|\n\n;EMPTY=;NAME\r\nWITH BREAK=v;=nameless");
    EXPECT_EQ(before[music("ünïcödé ♪.mp3") + "#4000000000"], "RATING=5");
    EXPECT_EQ(before["file://C:\\Music\\a.flac#1"], "RATING=2");
    EXPECT_EQ(before["file://\\\\server\\music\\b.flac#0"], "RATING=1");
}

TEST_F(TextFile, EntriesTheFileCannotHoldAreLeftOutAndTheRestStaysReadable) {
    storage().open(nullptr);
    add("ok.mp3", 0, "RATING", "5");
    add("ok.mp3", 0, "BAD", "\xff\xfe");
    add("broken\r\nline.mp3", 0, "RATING", "1");
    add("ends in cr\r", 0, "RATING", "2");
    add("bad \xff path", 0, "RATING", "3");
    storage().close();

    std::map<std::string, std::string> expected = {{"ok.mp3#0", "RATING=5"}};
    EXPECT_EQ(reopened_contents(), expected);
    size_t notes = std::count_if(console().begin(), console().end(), [](const std::string& line) {
        return line.rfind("Not saved to tagshelf.txt:", 0) == 0;
    });
    EXPECT_EQ(notes, 4u);
}

TEST_F(TextFile, IsOfferedByTheHostUnderItsLabel) {
    std::string label;
    for (const auto& method : host.session().registry().all<tagshelf_storage>()) {
        if (guid_to_string(method->get_guid()) == "{55F4AA48-445B-4CD1-B49B-97B2A94B3B96}")
            label = method->get_name();
    }
    EXPECT_EQ(label, "Text file (sonarith\\tagshelf.txt)");
}

}  // namespace
