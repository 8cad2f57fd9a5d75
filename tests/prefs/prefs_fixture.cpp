#include "prefs_fixture.h"

#include <filesystem>
#include <fstream>

#include "host/core/context_menu.h"
#include "service/tagshelf_impl.h"
#include "storage/config/tagshelf_storage_config.h"
#include "storage/sqlite/tagshelf_storage_sqlite.h"
#include "storage/textfile/tagshelf_storage_textfile.h"

GUID config_storage_guid() {
    return tagshelf_storage_config_instance().get_guid();
}

GUID sqlite_storage_guid() {
    return tagshelf_storage_sqlite_instance().get_guid();
}

GUID text_storage_guid() {
    return tagshelf_storage_textfile_instance().get_guid();
}

prefs_test::prefs_test() {
    open_page();
}

prefs_test::~prefs_test() {
    close_page();
}

void prefs_test::open_page() {
    close_page();
    m_dialog = std::make_unique<preferences_dialog>(windows(), session().get_main_window());
    for (const auto& page : preferences_dialog::pages(session().registry())) {
        if (std::string(page->page_name()) == "Tag Shelf") {
            m_dialog->open(page);
            return;
        }
    }
    FAIL() << "the Tag Shelf page is not registered";
}

void prefs_test::close_page() {
    if (m_dialog)
        m_dialog->close();
    m_dialog.reset();
}

HWND prefs_test::find_control(int id) {
    const std::vector<HWND> found = windows().find_controls(m_dialog->page_window(), id);
    if (found.empty())
        throw std::runtime_error("the page has no control " + std::to_string(id));
    return found.front();
}

window_state prefs_test::state(int id) {
    std::optional<window_state> window = windows().state(find_control(id));
    if (!window)
        throw std::runtime_error("the page has no control " + std::to_string(id));
    return *window;
}

void prefs_test::use_storage(const GUID& method) {
    tagshelf_impl::instance().switch_storage(method, false, true, false);
}

metadb_handle_ptr prefs_test::track(const std::string& name, bool exists) {
    metadb_handle_ptr handle = m_host.track(name);
    if (exists) {
        std::string path = m_host.profile() + "/music";
        std::filesystem::create_directories(path);
        std::ofstream(path + "/" + name) << "audio";
    }
    session().library().add(handle->get_location());
    return handle;
}

void prefs_test::put(const metadb_handle_ptr& track, const char* name, const char* value) {
    service_ptr_t<tagshelf_reader_writer> writer;
    ASSERT_TRUE(tagshelf_impl::instance().get_writer(writer));
    tagshelf_handle_ptr handle;
    writer->get_handle(handle, track);
    writer->set_value(handle, name, value);
}

std::string prefs_test::value(const metadb_handle_ptr& track, const char* name) {
    service_ptr_t<tagshelf_reader> reader;
    if (!tagshelf_impl::instance().get_reader(reader))
        return "(none)";
    tagshelf_handle_ptr handle;
    reader->get_handle(handle, track);
    string8 out;
    return reader->get_value(handle, name, 0, out) ? out.str() : "(none)";
}

std::string prefs_test::statistics() {
    std::string out;
    for (char c : text(IDC_STORAGE_STATISTICS)) {
        if (c != '\r')
            out += c;
    }
    return out;
}

std::vector<std::string> prefs_test::menu_commands() {
    std::vector<std::string> names;
    for (const auto& command : context_menu_commands(session().registry()))
        names.push_back(command.full_name());
    return names;
}

std::string statistics_of(const std::string& label, int entries, int values) {
    return label + "\n\nFile entries: " + std::to_string(entries) +
           "     Values: " + std::to_string(values);
}
