// The chain of services the built library hands the host, walked from its head as
// the host walks it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdk/component.h"
#include "sdk/guid.h"
#include "storage/tagshelf_storage.h"
#include "support/run_host.h"

namespace {

GUID guid(const char* text) {
    return *guid_from_string(text);
}

// A host interface with an empty registry: enough to walk the chain.
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

TEST(ServiceChain, HostMeetsTheTenServicesInReverseRegistrationOrder) {
    void* library = dlopen(TAGSHELF_COMPONENT_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto entry =
        reinterpret_cast<sonarith_get_interface_t>(dlsym(library, component_entry_point_name));
    ASSERT_NE(entry, nullptr);
    empty_host host;
    component_client* client = entry(&host, library);

    const GUID storage = guid("{D79B621D-F781-429D-AC00-80746FCDC269}");
    // From the head: the storage methods (text file, SQLite, configuration file),
    // then back to the context-menu provider registered first.
    const std::vector<GUID> expected = {
        storage,
        storage,
        storage,
        guid("{10BB3EBD-DDF7-4975-A3CC-23084829453E}"),  // component version
        guid("{5570A2D2-8F9E-48A7-AFAC-DAC00A3C1636}"),  // file operation callback
        guid("{113773C4-B387-4B48-8BDF-AB58BC6CE538}"),  // initquit
        guid("{8B9E68E5-FEBE-4565-9F41-C1937F6B5A4E}"),  // tagshelf
        guid("{4560C877-C41A-4C71-BB75-A7A5BAFC18D8}"),  // display hook
        guid("{7255E8D0-3FCF-4781-B93B-D06CB88DFAFA}"),  // preferences page
        guid("{1C0802F7-CF24-49EF-B914-8B9866F19779}"),  // context menu item
    };
    const std::vector<GUID> storage_methods = {
        guid("{55F4AA48-445B-4CD1-B49B-97B2A94B3B96}"),  // text file
        guid("{4D8C0737-63D6-40DD-8CCD-606B3BBD4961}"),  // SQLite
        guid("{99F8068B-28CF-4C3C-81AB-09D84647A5F7}"),  // configuration file
    };

    std::vector<std::string> walked;
    std::vector<GUID> methods;
    for (auto* factory = client->get_service_list(); factory; factory = factory->get_next()) {
        walked.push_back(guid_to_string(factory->get_class_guid()));
        if (factory->get_class_guid() != storage)
            continue;
        service_ptr_t<service_base> instance;
        factory->instance_create(instance);
        service_ptr_t<tagshelf_storage> method;
        ASSERT_TRUE(method.query_from(instance.get_ptr()));
        methods.push_back(method->get_guid());
    }
    std::vector<std::string> wanted;
    for (const GUID& g : expected)
        wanted.push_back(guid_to_string(g));
    EXPECT_EQ(walked, wanted);
    std::vector<std::string> method_names, wanted_methods;
    for (const GUID& g : methods)
        method_names.push_back(guid_to_string(g));
    for (const GUID& g : storage_methods)
        wanted_methods.push_back(guid_to_string(g));
    EXPECT_EQ(method_names, wanted_methods);
    dlclose(library);
}

}  // namespace
