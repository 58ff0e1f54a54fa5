#include "devhost/game/GameString.h"

#include <string_view>

namespace devhost {

std::u16string UnitsOf(const FString& string) {
  if (string.Data == nullptr || string.Count <= 0) {
    return {};
  }
  const std::u16string_view units(string.Data, static_cast<std::size_t>(string.Count));
  // Count includes the terminating zero; stop at the first zero in case it is misplaced.
  return std::u16string(units.substr(0, units.find(u'\0')));
}

}  // namespace devhost
