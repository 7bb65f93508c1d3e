// The line that `quarnel list` prints for an entry:
//   method, expanded size, stored size, date and time, attributes, lock, name
//   "lzh          486        271  1997-06-04 16:04:34  ---A  -  readme.txt"
// Attributes are R (read-only), H (hidden), S (system), A (archive) or "-"; the lock column is
// "L" for a locked entry. The name is shown as stored, except that control characters are shown
// as "?": a hostile name must neither break the one-line-per-entry output nor drive the terminal.
#pragma once

#include <string>

#include "expander/archive_format.h"

namespace tools {

std::string FormatListLine(const expander::EntryHeader& entry, const std::string& name);

// The name with every control character (0x00..0x1F, 0x7F) replaced by "?".
std::string PrintableName(std::string name);

}  // namespace tools
