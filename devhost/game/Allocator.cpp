#include "devhost/game/Allocator.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "bridge/GameFunctions.h"

namespace devhost {

void* GameAllocator::Realloc(void* pointer, std::uint64_t bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++stats_.realloc_calls;
  auto found = blocks_.end();
  if (pointer != nullptr) {
    found = blocks_.find(pointer);
    if (found == blocks_.end()) {
      Abort(kFMemoryRealloc.name, pointer);
    }
  }
  if (bytes == 0) {
    if (pointer != nullptr) {
      stats_.live_bytes -= found->second;
      --stats_.live_blocks;
      blocks_.erase(found);
      std::free(pointer);
    }
    return nullptr;
  }
  void* result = std::realloc(pointer, static_cast<std::size_t>(bytes));
  if (result == nullptr) {
    return nullptr;  // the old block, if any, is still live
  }
  if (pointer == nullptr) {
    ++stats_.live_blocks;
    blocks_.emplace(result, bytes);
  } else {
    stats_.live_bytes -= found->second;
    if (result == pointer) {
      found->second = bytes;
    } else {
      auto node = blocks_.extract(found);
      node.key() = result;
      node.mapped() = bytes;
      blocks_.insert(std::move(node));
    }
  }
  stats_.live_bytes += bytes;
  return result;
}

void GameAllocator::Free(void* pointer) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++stats_.free_calls;
  if (pointer == nullptr) {
    return;
  }
  const auto found = blocks_.find(pointer);
  if (found == blocks_.end()) {
    Abort(kFMemoryFree.name, pointer);
  }
  stats_.live_bytes -= found->second;
  --stats_.live_blocks;
  blocks_.erase(found);
  std::free(pointer);
}

bool GameAllocator::Owns(const void* pointer) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return blocks_.count(pointer) != 0;
}

AllocatorStats GameAllocator::Stats() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stats_;
}

void GameAllocator::Abort(const char* operation, const void* pointer) {
  std::fprintf(stderr, "devhost: %s called with %p, which the game allocator never gave out\n",
               operation, pointer);
  std::fflush(stderr);
  std::abort();
}

}  // namespace devhost
