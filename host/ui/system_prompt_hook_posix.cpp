#include "host/ui/system_prompt_hook.h"

// Nothing to watch: the prompts reach the host through its window system.
struct system_prompt_hook::platform_state {};

system_prompt_hook::system_prompt_hook(user_prompts&) {}

system_prompt_hook::~system_prompt_hook() = default;
