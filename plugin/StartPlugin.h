#pragma once

namespace quorvane {

// Brings the plugin up in one pass: logger over the host's sinks, configuration, chat
// commands, reload command. A configuration that fails to load is logged and rethrown.
void StartPlugin();

// Whether the last StartPlugin logged the failure it threw, so whoever catches it at the top
// does not log it twice.
bool StartPluginLogged();

}  // namespace quorvane
