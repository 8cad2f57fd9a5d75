// The host's help site, which preferences pages build their help addresses on.
#pragma once

#include "sdk/preferences_page.h"

class host_help_site : public help_site {
public:
    void get_address(string_base& out) override { out.set_string(address); }

    static constexpr const char* address = "https://help.sonarith.example";
};
