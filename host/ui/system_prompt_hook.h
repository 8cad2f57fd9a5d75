// Where a component shows the system's own message boxes and file dialogs
// (Windows), the host still prints each one and answers it from its options,
// as it does its headless prompts, so that nobody needs to sit at the screen.
// One file per platform: system_prompt_hook_win32.cpp watches the windows of
// the session's thread and of every other thread of the process; elsewhere
// (system_prompt_hook_posix.cpp) the prompts reach the host through its window
// system and there is nothing to watch.
#pragma once

#include <memory>

#include "host/ui/user_prompts.h"

class system_prompt_hook {
public:
    // Watches the process's windows from now on: every message box and file
    // dialog that opens, on the calling thread or another one, is printed and
    // answered through `prompts`, which must outlive the hook.
    explicit system_prompt_hook(user_prompts& prompts);
    ~system_prompt_hook();
    system_prompt_hook(const system_prompt_hook&) = delete;
    system_prompt_hook& operator=(const system_prompt_hook&) = delete;

private:
    struct platform_state;
    std::unique_ptr<platform_state> m_state;
};
