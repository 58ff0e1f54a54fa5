#include "devhost/present/Tone.h"

#include <fmt/color.h>
#include <fmt/format.h>

namespace devhost {
namespace {

fmt::text_style StyleOf(Tone tone) {
  switch (tone) {
    case Tone::Green:
      return fmt::fg(fmt::terminal_color::green);
    case Tone::Yellow:
      return fmt::fg(fmt::terminal_color::yellow);
    case Tone::Red:
      return fmt::fg(fmt::terminal_color::red);
    case Tone::Cyan:
      return fmt::fg(fmt::terminal_color::cyan);
    case Tone::Bold:
      return fmt::emphasis::bold;
    case Tone::Faint:
      return fmt::emphasis::faint;
    case Tone::Plain:
      break;
  }
  return {};
}

}  // namespace

std::string Toned(std::string_view text, Tone tone, bool colour) {
  if (!colour || tone == Tone::Plain) {
    return std::string(text);
  }
  return fmt::format(StyleOf(tone), "{}", text);
}

}  // namespace devhost
