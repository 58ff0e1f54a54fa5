#pragma once
// The signals by which an operator stops the program, one list for every part that cleans up or
// waits before it ends, and ending the program by one as its default action would.

#include <csignal>

namespace devhost {

#if defined(_WIN32)
inline constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGBREAK};  // SIGBREAK: Ctrl-Break
#else
inline constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
#endif

// Restores `signal`'s default action, lets it through and raises it, so the program ends as it
// would have without a handler. Safe inside a signal handler.
[[noreturn]] void EndBySignal(int signal);

}  // namespace devhost
