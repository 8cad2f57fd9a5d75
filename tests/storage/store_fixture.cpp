#include "store_fixture.h"

test_host& shared_host() {
    static test_host host;
    return host;
}

metadb_handle_ptr host_track(const std::string& path, uint32_t subsong) {
    return shared_host().session().tracks().track(playable_location_impl(path, subsong));
}

x_info_impl fields_of(std::initializer_list<std::pair<const char*, const char*>> pairs) {
    x_info_impl info;
    for (const auto& [name, value] : pairs)
        info.add_value(name, value);
    return info;
}

std::string describe(const x_info& info) {
    std::string text;
    for (size_t i = 0; i < info.get_field_count(); ++i) {
        if (i)
            text += ';';
        text += info.get_field_name(i);
        text += '=';
        for (size_t j = 0; j < info.get_value_count(i); ++j) {
            if (j)
                text += '|';
            text += info.get_value(i, j);
        }
    }
    return text;
}

std::vector<std::string> StoreTest::stored_locations() {
    tagshelf_handle_list handles;
    writer->enum_handles(handles);
    std::vector<std::string> out;
    for (const auto& h : handles) {
        const playable_location& location = h->get_location();
        out.push_back(std::string(location.get_path()) + "#" +
                      std::to_string(location.get_subsong()));
    }
    return out;
}
