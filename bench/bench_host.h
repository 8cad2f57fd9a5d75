// The in-process host that a benchmark measures the component in: the tests' host
// without the log of redrawn tracks that tests read. The host program keeps no
// such log, and in a benchmark it would grow with every write measured.
#pragma once

#include "support/test_host.h"

class bench_host : public test_host {
public:
    explicit bench_host(bool start = true) : test_host(start) {
        session().refreshes().set_keep_log(false);
    }
};
