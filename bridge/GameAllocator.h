#pragma once
// The game's allocator, reached by name through the host at every call (never cached).

#include <cstdint>

namespace quorvane {

// Calls "FMemory.Realloc" with the pointer (null for a first allocation) and the byte size.
// Throws std::runtime_error when the host cannot resolve the function or it returns no memory.
void* GameRealloc(void* pointer, std::uint64_t bytes);

// Calls "FMemory.Free" with `block`, and does nothing at all for a null block. When the host
// cannot resolve the function the block cannot be returned: that aborts with a message.
void GameFree(void* block) noexcept;

}  // namespace quorvane
