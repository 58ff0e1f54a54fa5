#pragma once
// Spelling suggestions for configuration keys and values: "Colour" -> "Color".

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devhost {

// Edits (insert, delete, replace, swap of neighbours) between two texts, ASCII letter case
// ignored: operators' typos are mostly case, a letter too many, or two letters swapped.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The candidate closest to `word`, when it is close enough to be the intended one: at most a
// quarter of the word's length in edits, and at least one ("Comment" is no "Command").
std::optional<std::string> NearestOf(std::string_view word,
                                     const std::vector<std::string>& candidates);

}  // namespace devhost
