// The component's start and stop notifications: the configured storage opens when
// the host starts and closes when it stops.
#pragma once

#include "sdk/initquit.h"

class my_initquit : public initquit {
public:
    // The static instance the component registers.
    static my_initquit& instance();

    // Opens the configured storage method unless one is active already.
    void on_init() override;
    // Closes the storage; the configured method stays, so the next start opens it.
    void on_quit() override;

protected:
    my_initquit() = default;
    ~my_initquit() = default;
};
