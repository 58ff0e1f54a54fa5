#include "devhost/os/EndingSignals.h"

#include <cstdlib>

#if !defined(_WIN32)
#include <signal.h>
#endif

namespace devhost {

#if defined(_WIN32)

void EndBySignal(int signal) {
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(3);  // what the C runtime's default action exits with
}

#else

void EndBySignal(int signal) {
  struct sigaction by_default {};
  by_default.sa_handler = SIG_DFL;
  sigemptyset(&by_default.sa_mask);
  sigaction(signal, &by_default, nullptr);
  // Inside its own handler the signal is blocked; it must reach the default action now.
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  std::_Exit(128 + signal);
}

#endif

}  // namespace devhost
