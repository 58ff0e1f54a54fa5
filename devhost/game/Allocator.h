#pragma once
// The simulated game's allocator ("FMemory.Realloc", "FMemory.Free"): real memory with
// accounting, so tests and the program can prove every block the plugin takes comes back.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace devhost {

struct AllocatorStats {
  std::size_t live_blocks = 0;
  std::uint64_t live_bytes = 0;
  std::uint64_t realloc_calls = 0;
  std::uint64_t free_calls = 0;
};

class GameAllocator {
 public:
  GameAllocator() = default;
  GameAllocator(const GameAllocator&) = delete;
  GameAllocator& operator=(const GameAllocator&) = delete;

  // Like realloc: a null pointer allocates, a size of 0 frees and returns null. A pointer this
  // allocator never gave out aborts the process with a message.
  void* Realloc(void* pointer, std::uint64_t bytes);
  void Free(void* pointer);
  bool Owns(const void* pointer) const;
  AllocatorStats Stats() const;

 private:
  [[noreturn]] static void Abort(const char* operation, const void* pointer);

  mutable std::mutex mutex_;
  std::unordered_map<const void*, std::uint64_t> blocks_;
  AllocatorStats stats_;
};

}  // namespace devhost
