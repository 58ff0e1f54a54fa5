#pragma once

#include <exception>

// Brings the plugin up in one pass: logger over the host's sinks, configuration, chat
// commands, reload command. A configuration that fails to load is logged and rethrown.
void StartPlugin();

// Whether `error` is the very exception object the last StartPlugin logged before rethrowing
// it, so whoever catches it at the top does not log it twice.
bool StartPluginLogged(const std::exception& error);
