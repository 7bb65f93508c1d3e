// Safe extraction: the entry-name rules that `quarnel extract` and `quarnel test` apply by default.
// A name is refused when it is rooted ("\" or "/" first), carries a drive letter ("C:"), or holds a
// ".." component under either separator; such a name would write outside the target folder. The
// component itself keeps its own rules (a rooted name goes below the root of the drive); these
// rules are put in front of it through OnCheckFile.
#pragma once

#include <string>

#include "expander/quarnel.h"
#include "platform/exceptions.h"

namespace tools {

// Why a name would leave the target folder, or "" when it is safe.
std::string UnsafeNameReason(const std::string& name);

// An entry whose name the safe rules refuse; the message names the entry and the reason.
class EUnsafeEntryName : public platform::Exception {
 public:
  EUnsafeEntryName(const std::string& name, const std::string& reason);
};

// Raises EUnsafeEntryName when UnsafeNameReason finds a reason.
void CheckEntryName(const std::string& name);

// The entry name that led to an output path: the path without the component's TargetPath in
// front, or the path itself for a rooted name, which the component does not prefix.
std::string EntryNameOfPath(const std::string& outputPath, const std::string& targetPath);

}  // namespace tools
