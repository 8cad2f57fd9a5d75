// The main job: the component at work on a fresh profile, step by step.
#pragma once

#include "host/cli/commands.h"
#include "host/core/host_session.h"

// Runs the demo. It drives this host program as a user would (one host session per
// command, so every step also proves that the data persisted), prints each command
// with its output, checks what each step gives, and answers 0 only when every
// check passed.
int run_demo(const host_options& options, const command_args& args);
