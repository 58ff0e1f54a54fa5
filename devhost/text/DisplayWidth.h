#pragma once
// How many terminal cells a character takes: 2 for wide East Asian characters and emoji, 0 for
// combining marks and zero-width characters, 1 for the rest. Windows has no wcwidth, and
// terminals agree on these ranges, so the table is ours.

namespace devhost {

int DisplayWidth(char32_t c);

}  // namespace devhost
