#include "host/ui/system_prompt_hook.h"

system_prompt_hook::system_prompt_hook(user_prompts&) {}

system_prompt_hook::~system_prompt_hook() = default;
