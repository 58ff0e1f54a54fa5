#pragma once

// Brings the plugin up in one pass: logger over the host's sinks, configuration, chat
// commands, reload command. A configuration that fails to load is logged and rethrown.
void StartPlugin();
