#pragma once
// "devhost --check --html FILE": one self-contained HTML page that shows every chat command as
// the player would see it, over a dark game-like background, with the check's findings beside
// each entry. No network, fonts or scripts: it works opened from disk and passed around.

#include <cstdio>

#include "devhost/report/CheckReport.h"

namespace devhost {

// Writes the page as it goes, entry by entry; a failed write shows when the stream is finished.
void WriteCheckPage(std::FILE* out, const CheckReport& report);

}  // namespace devhost
