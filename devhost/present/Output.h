#pragma once
// Everything the development host writes goes out here. Texts for people go out with their
// control characters escaped ("\x1b"), so no player name, command or reply can move the cursor,
// retitle the terminal or cut the line short, whichever caller wrote it. A failed write never
// throws and never stops a run: it is remembered with its reason, for the program to report
// when it ends.

#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "devhost/present/DisplayColour.h"

namespace devhost {

struct TextStyle {
  std::optional<Rgb8> colour;
  bool bold = false;
  bool faint = false;
};

struct Piece {
  std::string_view text;
  TextStyle style = {};
};

// A line for people: the pieces and a line end, each piece in its style when `colour` is on.
void PutLine(std::FILE* out, std::initializer_list<Piece> pieces, bool colour = false);
// One plain line for people.
void PutLine(std::FILE* out, std::string_view text);

// Text as it is, for programs (JSON) and pages.
void PutText(std::FILE* out, std::string_view text);
void Flush(std::FILE* out);

// The system's words for `code` (an errno value), or `otherwise` when there is none.
std::string SystemReason(int code, const char* otherwise);

// Whether all that was written to `out` reached it (it is flushed first): the reason, in the
// system's words, when not.
std::optional<std::string> WriteFailure(std::FILE* out);
// Before `out` is closed: what was remembered of it goes.
void ForgetStream(std::FILE* out);

}  // namespace devhost
