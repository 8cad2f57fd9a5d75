// The component's version record: name, version and about text.
#pragma once

#include <string>

#include "sdk/componentversion.h"
#include "sdk/service.h"

class componentversion_impl_simple : public componentversion {
public:
    componentversion_impl_simple(const char* name, const char* version, const char* about)
        : m_name(name), m_version(version), m_about(about) {}

    // The module file name the host gave (empty until it gave one).
    void get_file_name(string_base& out) override;
    void get_component_name(string_base& out) override { out.set_string(m_name); }
    void get_component_version(string_base& out) override { out.set_string(m_version); }
    void get_about_message(string_base& out) override { out.set_string(m_about); }

private:
    const char* m_name;
    const char* m_version;
    const char* m_about;
};

// This component's record.
service_impl_single_t<componentversion_impl_simple>& component_version_record();
