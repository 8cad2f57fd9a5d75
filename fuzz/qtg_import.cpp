// Importing a quick-tag exchange file of arbitrary bytes through the host's file
// system. A file that imports is exported and imported again, and must give the
// same command list.
#include <fstream>

#include "fuzz_support.h"
#include "quicktag/cfg_quicktag_entries.h"
#include "quicktag/qtg_file.h"

namespace {

bool same(const std::vector<quicktag_entry>& a, const std::vector<quicktag_entry>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].display_name != b[i].display_name || a[i].field_name != b[i].field_name ||
            a[i].value != b[i].value)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string in_path = fuzz_host().profile_directory() + "/in.qtg";
    static const std::string out_path = fuzz_host().profile_directory() + "/out.qtg";
    std::ofstream(in_path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    if (!quicktag_import(in_path.c_str()))
        return 0;
    const std::vector<quicktag_entry> imported = cfg_quicktag_entries.entries();
    fuzz_check(quicktag_export(out_path.c_str()), "export of an imported list");
    fuzz_check(quicktag_import(out_path.c_str()), "import of an exported list");
    fuzz_check(same(cfg_quicktag_entries.entries(), imported), "import, export, import");
    return 0;
}
