#include "devhost/text/Nearest.h"

#include <algorithm>

#include "devhost/text/Text.h"

namespace devhost {
namespace {

// Names are compared as the host matches them.
char Lower(char c) {
  return AsciiFoldedUnit(c);
}

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
  // Optimal string alignment: Levenshtein plus adjacent transpositions, three rows kept.
  std::vector<std::size_t> before(b.size() + 1);
  std::vector<std::size_t> previous(b.size() + 1);
  std::vector<std::size_t> current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) {
    previous[j] = j;
  }
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) &&
          Lower(a[i - 2]) == Lower(b[j - 1])) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[b.size()];
}

std::optional<std::string> NearestOf(std::string_view word,
                                     const std::vector<std::string>& candidates) {
  const std::size_t limit = std::max<std::size_t>(1, word.size() / 4);
  std::optional<std::string> best;
  std::size_t best_distance = limit + 1;
  for (const std::string& candidate : candidates) {
    const std::size_t distance = EditDistance(word, candidate);
    if (distance < best_distance) {
      best_distance = distance;
      best = candidate;
    }
  }
  return best;
}

}  // namespace devhost
