#include "support/processor_time.h"

#include <ctime>

double processor_seconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}
