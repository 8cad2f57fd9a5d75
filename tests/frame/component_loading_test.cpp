// The component as the host sees it: a library with one entry point, a client
// object, and a chain of services.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdk/component.h"
#include "sdk/componentversion.h"
#include "sdk/guid.h"
#include "storage/tagshelf_storage.h"
#include "support/loaded_library.h"
#include "support/run_host.h"

namespace {

// A host interface with an empty registry: enough for loading and walking.
class empty_host final : public host_api {
public:
    service_class_ref find_class(const GUID&) override { return nullptr; }
    bool service_instance_create(service_ptr_t<service_base>&, service_class_ref, size_t) override {
        return false;
    }
    size_t service_get_count(service_class_ref) override { return 0; }
    HWND get_main_window() override { return nullptr; }
    const char* get_host_name() override { return "test"; }
    bool is_load_context() override { return true; }
    bool is_shutting_down() override { return false; }
    const char* get_profile_path() override { return "file:///nonexistent"; }
};

class component_library : public loaded_library {
public:
    component_library() : loaded_library(native_path(TAGSHELF_COMPONENT_LIBRARY)) {}
    component_client* client(host_api* api) {
        auto entry = reinterpret_cast<sonarith_get_interface_t>(symbol(component_entry_point_name));
        return entry ? entry(api, handle()) : nullptr;
    }
};

service_ptr_t<componentversion> find_version(component_client* client) {
    for (auto* factory = client->get_service_list(); factory; factory = factory->get_next()) {
        if (factory->get_class_guid() != componentversion::class_guid)
            continue;
        service_ptr_t<service_base> instance;
        factory->instance_create(instance);
        service_ptr_t<componentversion> version;
        if (version.query_from(instance.get_ptr()))
            return version;
    }
    return nullptr;
}

TEST(ComponentLoading, EntryPointGivesClientOfInterfaceVersion71) {
    component_library library;
    ASSERT_TRUE(library.loaded()) << library.error();
    empty_host host;
    component_client* client = library.client(&host);
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->get_version(), 71u);
    EXPECT_FALSE(client->is_debug());
    EXPECT_NE(client->get_service_list(), nullptr);
}

TEST(ComponentLoading, VersionRecordNamesTheComponent) {
    component_library library;
    empty_host host;
    auto version = find_version(library.client(&host));
    ASSERT_TRUE(version.is_valid());
    string8 name, number, about, file;
    version->get_component_name(name);
    version->get_component_version(number);
    version->get_about_message(about);
    version->get_file_name(file);
    EXPECT_EQ(name.str(), "snr_tagshelf");
    EXPECT_EQ(number.str(), "0.1.2");
    EXPECT_EQ(about.str(), "Allows database-only info fields, without modifying files.\n");
    EXPECT_EQ(file.str(), "") << "no module path was set yet";
}

TEST(ComponentLoading, ModuleFileNameIsWhatTheHostSet) {
    component_library library;
    empty_host host;
    component_client* client = library.client(&host);
    client->set_library_path("/somewhere/snr_tagshelf.so", "snr_tagshelf.so");
    string8 file;
    find_version(client)->get_file_name(file);
    EXPECT_EQ(file.str(), "snr_tagshelf.so");
}

TEST(ComponentLoading, UnknownInterfaceQueryAnswersFalseAndLeavesSlotAlone) {
    component_library library;
    empty_host host;
    auto version = find_version(library.client(&host));
    ASSERT_TRUE(version.is_valid());
    const GUID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    service_base* slot = reinterpret_cast<service_base*>(0x1);  // must stay as it is
    EXPECT_FALSE(version->service_query(slot, unknown));
    EXPECT_EQ(slot, reinterpret_cast<service_base*>(0x1));

    service_base* base = nullptr;
    EXPECT_FALSE(version->service_query(base, GUID{}));  // service_base itself never matches
    EXPECT_TRUE(version->service_query(base, componentversion::class_guid));
    EXPECT_NE(base, nullptr);
}

TEST(ComponentLoading, HostMeetsTheTenServicesInReverseRegistrationOrder) {
    component_library library;
    empty_host host;
    component_client* client = library.client(&host);
    ASSERT_NE(client, nullptr);
    const std::string storage = "{D79B621D-F781-429D-AC00-80746FCDC269}";
    // From the head: the three storage methods, then back to the context-menu
    // provider registered first. Storage methods are told apart by their own GUID.
    const std::vector<std::string> expected = {
        storage + " {55F4AA48-445B-4CD1-B49B-97B2A94B3B96}",  // text file
        storage + " {4D8C0737-63D6-40DD-8CCD-606B3BBD4961}",  // SQLite
        storage + " {99F8068B-28CF-4C3C-81AB-09D84647A5F7}",  // configuration file
        "{10BB3EBD-DDF7-4975-A3CC-23084829453E}",             // component version
        "{5570A2D2-8F9E-48A7-AFAC-DAC00A3C1636}",             // file operation callback
        "{113773C4-B387-4B48-8BDF-AB58BC6CE538}",             // initquit
        "{8B9E68E5-FEBE-4565-9F41-C1937F6B5A4E}",             // tagshelf
        "{4560C877-C41A-4C71-BB75-A7A5BAFC18D8}",             // display hook
        "{7255E8D0-3FCF-4781-B93B-D06CB88DFAFA}",             // preferences page
        "{1C0802F7-CF24-49EF-B914-8B9866F19779}",             // context menu item
    };
    std::vector<std::string> walked;
    for (auto* factory = client->get_service_list(); factory; factory = factory->get_next()) {
        std::string entry = guid_to_string(factory->get_class_guid());
        service_ptr_t<service_base> instance;
        factory->instance_create(instance);
        service_ptr_t<tagshelf_storage> method;
        if (method.query_from(instance.get_ptr()))
            entry += " " + guid_to_string(method->get_guid());
        walked.push_back(entry);
    }
    EXPECT_EQ(walked, expected);
}

TEST(ComponentLoading, LibraryExportsOnlyTheEntryPoint) {
    component_library library;
    ASSERT_TRUE(library.loaded()) << library.error();
    EXPECT_EQ(library.exported_functions(), std::vector<std::string>{"sonarith_get_interface"});
}

}  // namespace
