#pragma once
// The first read of one use of an entry that fails, in the plugin's read order: every use of
// the entry fails there, and nothing after it is read.

#include <cstddef>
#include <string>

#include "config/EntryKeys.h"

namespace devhost {

struct FailingRead {
  enum class Problem { NotAnObject, Missing, WrongKind, TooFewElements, ElementKind };
  Problem problem = Problem::Missing;
  const quorvane::EntryKey* key = nullptr;  // null for NotAnObject
  std::string type;         // the entry's "Type", once read: the reason the key is needed
  std::size_t element = 0;  // ElementKind: which; TooFewElements: how many there are
  std::string kind;         // NotAnObject, WrongKind, ElementKind: the JSON kind found, "object"
};

}  // namespace devhost
