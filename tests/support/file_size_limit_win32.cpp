#include "support/file_size_limit.h"

#include <stdexcept>

#include "support/system_features.h"

struct file_size_limit::saved {};

file_size_limit::file_size_limit(uint64_t) {
    throw std::logic_error(missing(system_feature::file_size_limit));
}

file_size_limit::~file_size_limit() = default;
