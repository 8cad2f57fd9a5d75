// The host's file system for local files, as components reach it through the
// registry: plain paths and file URLs, reading, replacing and positioning.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "sdk/file.h"
#include "support/test_host.h"

namespace {

std::string read_all(service_ptr_t<file>& in) {
    abort_callback_dummy abort;
    std::string text(size_t(in->get_size(abort)), '\0');
    EXPECT_EQ(in->read(text.data(), text.size(), abort), text.size());
    return text;
}

void create_with(const std::string& path, const std::string& text) {
    abort_callback_dummy abort;
    service_ptr_t<file> out;
    filesystem::g_open(out, path.c_str(), filesystem::open_mode_write_new, abort);
    out->write(text.data(), text.size(), abort);
    out->flush(abort);
}

TEST(LocalFilesystem, CreatingAFileReplacesWhatWasThere) {
    test_host host(false);
    const std::string path = host.profile() + "/replaced.txt";
    create_with(path, "a longer first content");
    create_with(file_url(path), "short");
    abort_callback_dummy abort;
    service_ptr_t<file> in;
    filesystem::g_open(in, path.c_str(), filesystem::open_mode_read, abort);
    EXPECT_EQ(read_all(in), "short");
}

TEST(LocalFilesystem, ReadsAnswerFewerBytesOnlyAtTheEndAndSeekMovesThePosition) {
    test_host host(false);
    const std::string path = host.profile() + "/positions.bin";
    create_with(path, "0123456789");
    abort_callback_dummy abort;
    service_ptr_t<file> in;
    filesystem::g_open(in, file_url(path).c_str(), filesystem::open_mode_read, abort);
    char buffer[8];
    in->seek(6, abort);
    EXPECT_EQ(in->get_position(abort), 6u);
    EXPECT_FALSE(in->is_eof(abort));
    EXPECT_EQ(in->read(buffer, sizeof buffer, abort), 4u);
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_TRUE(in->is_eof(abort));
    EXPECT_EQ(in->read(buffer, sizeof buffer, abort), 0u);
    in->seek(0, abort);
    EXPECT_EQ(in->read(buffer, 3, abort), 3u);
    EXPECT_EQ(std::string(buffer, 3), "012");
}

TEST(LocalFilesystem, MissingFilesAndDirectoriesRaiseWithThePath) {
    test_host host(false);
    abort_callback_dummy abort;
    service_ptr_t<file> in;
    const std::string missing = host.profile() + "/missing.txt";
    try {
        filesystem::g_open(in, missing.c_str(), filesystem::open_mode_read, abort);
        ADD_FAILURE() << "a missing file opened";
    } catch (const exception_io& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    EXPECT_THROW(filesystem::g_open(in, host.profile().c_str(), filesystem::open_mode_read, abort),
                 exception_io);
    EXPECT_FALSE(in.is_valid());
    EXPECT_FALSE(filesystem::g_exists(missing.c_str(), abort));
    EXPECT_TRUE(filesystem::g_exists(file_url(host.profile()).c_str(), abort));
}

TEST(LocalFilesystem, CanonicalPathsAreAbsoluteNormalizedFileUrls) {
    test_host host(false);
    const std::string here = std::filesystem::current_path().u8string();
    // Written with '/', each in the system's own notation.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {native_path("/music/./album/../song.mp3"), file_url("/music/song.mp3")},
        {file_url("/music//song.mp3"), file_url("/music/song.mp3")},
        {"song.mp3", file_url(here + "/song.mp3")},
        {file_url("/music/Album/01 Song.flac"), file_url("/music/Album/01 Song.flac")},
        {native_path("/music/Album/01 Song.flac"), file_url("/music/Album/01 Song.flac")},
        {native_path("/music/album/.."), file_url("/music/")},
        {native_path("/music/album/."), file_url("/music/album/")},
        {native_path("/music/..Album/.song.mp3"), file_url("/music/..Album/.song.mp3")},
        {native_path("/music/album/"), file_url("/music/album/")},
        {"http://example.invalid/song.mp3", "http://example.invalid/song.mp3"},
    };
    for (const auto& [path, canonical] : cases) {
        string8 out;
        filesystem::g_get_canonical_path(path.c_str(), out);
        EXPECT_EQ(out.view(), canonical) << path;
    }
}

}  // namespace
