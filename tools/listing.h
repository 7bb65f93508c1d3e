// The line that `quarnel list` prints for an entry:
//   method, expanded size, stored size, date and time, attributes, lock, name
//   "lzh          486        271  1997-06-04 16:04:34  ---A  -  readme.txt"
// Attributes are R (read-only), H (hidden), S (system), A (archive) or "-"; the lock column is
// "L" for a locked entry. The name is shown as stored.
#pragma once

#include <string>

#include "expander/archive_format.h"

namespace tools {

std::string FormatListLine(const expander::EntryHeader& entry, const std::string& name);

}  // namespace tools
