#include "storage/textfile_fixture.h"

#include <sys/stat.h>
#include <fstream>
#include <iterator>
#include <stdexcept>

const char* const textfile_header = "D08C788A-7F13-40C5-B3B2-E4B4ED99E6F7";

void TextFileStorageTest::SetUp() {
    tagshelf_storage_textfile::set_close_fault_hook({});
    store().remove_all();
}

void TextFileStorageTest::TearDown() {
    tagshelf_storage_textfile::set_close_fault_hook({});
    store().remove_all();
}

metadb_handle_ptr TextFileStorageTest::track(const std::string& path, uint32_t subsong) {
    return host.session().tracks().track(playable_location_impl(path, subsong));
}

void TextFileStorageTest::add(const std::string& path, uint32_t subsong, const char* name,
                              const char* value) {
    service_ptr_t<tagshelf_reader_writer> writer;
    storage().get_writer(writer);
    tagshelf_handle_ptr handle;
    writer->get_handle(handle, track(path, subsong));
    writer->add_value(handle, name, value);
}

std::map<std::string, std::string> TextFileStorageTest::contents() {
    service_ptr_t<tagshelf_reader> reader;
    storage().get_reader(reader);
    list_t<tagshelf_handle_ptr> handles;
    reader->enum_handles(handles);
    std::map<std::string, std::string> result;
    for (size_t i = 0; i < handles.get_count(); ++i) {
        x_info_impl info;
        reader->get_info(handles[i], info);
        if (info.get_field_count() == 0)
            continue;
        std::string text;
        for (size_t f = 0; f < info.get_field_count(); ++f) {
            text += f ? ";" : "";
            text += info.get_field_name(f);
            for (size_t v = 0; v < info.get_value_count(f); ++v)
                text += std::string(v ? "|" : "=") + info.get_value(f, v);
        }
        const playable_location& location = handles[i]->get_location();
        result[std::string(location.get_path()) + "#" + std::to_string(location.get_subsong())] =
            text;
    }
    return result;
}

std::map<std::string, std::string> TextFileStorageTest::reopened_contents() {
    storage().open(nullptr);
    auto result = contents();
    storage().close();
    return result;
}

std::string crlf_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool file_exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}
