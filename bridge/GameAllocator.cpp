#include "bridge/GameAllocator.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "bridge/FString.h"
#include "bridge/HostApi.h"

void* GameRealloc(void* pointer, std::uint64_t bytes) {
  using ReallocFn = void* (*)(void*, std::uint64_t);
  const auto realloc_fn = reinterpret_cast<ReallocFn>(GetAddress("FMemory.Realloc"));
  if (realloc_fn == nullptr) {
    throw std::runtime_error("game function FMemory.Realloc is not available");
  }
  void* result = realloc_fn(pointer, bytes);
  if (result == nullptr && bytes != 0) {
    throw std::runtime_error("game function FMemory.Realloc returned no memory for " +
                             std::to_string(bytes) + " bytes");
  }
  return result;
}

void GameFree(const FString& string) noexcept {
  if (string.Data == nullptr) {
    return;
  }
  using FreeFn = void (*)(void*);
  const auto free_fn = reinterpret_cast<FreeFn>(GetAddress("FMemory.Free"));
  if (free_fn == nullptr) {
    // Game memory that cannot be handed back would leak on every message: stop loudly instead.
    std::fputs("Quorvane: game function FMemory.Free is not available; cannot release memory\n",
               stderr);
    std::abort();
  }
  free_fn(string.Data);
}
