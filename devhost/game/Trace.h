#pragma once
// A recording of every crossing into the simulated game: lookups, allocator calls and game
// function calls, in order. Tests switch it on to check call sequences exactly.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace devhost {

struct TraceEvent {
  enum class Kind { Lookup, Realloc, Free, GameCall };
  Kind kind;
  std::string name;               // looked-up name or game function name
  const void* pointer = nullptr;  // argument pointer (Realloc, Free)
  std::uint64_t bytes = 0;        // Realloc size
  const void* result = nullptr;   // Lookup address or Realloc result

  bool operator==(const TraceEvent& other) const;
};

class Trace {
 public:
  void Start();
  std::vector<TraceEvent> Stop();
  void Record(TraceEvent event);
  // Every lookup and game call passes here: while inactive, nothing is copied or locked.
  void Record(TraceEvent::Kind kind, std::string_view name, const void* pointer,
              std::uint64_t bytes, const void* result);

 private:
  std::mutex mutex_;
  std::atomic<bool> active_{false};
  std::vector<TraceEvent> events_;
};

}  // namespace devhost
