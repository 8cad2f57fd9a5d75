#include "support/system_features.h"

const char* missing(system_feature) {
    return nullptr;
}
