#include "support/system_features.h"

const char* missing(system_feature feature) {
    switch (feature) {
        case system_feature::file_size_limit:
            return "Windows has no limit on the size of a process's files to make a write fail "
                   "part-way as on a full disk";
        case system_feature::shell_scripts:
            return "the commands are a bash script of POSIX tools";
    }
    return nullptr;
}
