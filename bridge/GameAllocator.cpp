#include "bridge/GameAllocator.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "bridge/GameFunctions.h"

namespace quorvane {

void* GameRealloc(void* pointer, std::uint64_t bytes) {
  const auto realloc_fn = LookUp(kFMemoryRealloc);
  if (realloc_fn == nullptr) {
    throw std::runtime_error(std::string("game function ") + kFMemoryRealloc.name +
                             " is not available");
  }
  void* result = realloc_fn(pointer, bytes);
  if (result == nullptr && bytes != 0) {
    throw std::runtime_error(std::string("game function ") + kFMemoryRealloc.name +
                             " returned no memory for " + std::to_string(bytes) + " bytes");
  }
  return result;
}

void GameFree(void* block) noexcept {
  if (block == nullptr) {
    return;
  }
  const auto free_fn = LookUp(kFMemoryFree);
  if (free_fn == nullptr) {
    // Game memory that cannot be handed back would leak on every message: stop loudly instead.
    std::fprintf(stderr, "Quorvane: game function %s is not available; cannot release memory\n",
                 kFMemoryFree.name);
    std::abort();
  }
  free_fn(block);
}

}  // namespace quorvane
