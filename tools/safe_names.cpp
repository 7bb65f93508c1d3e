// The safe entry-name rules.
#include "tools/safe_names.h"

#include "tools/listing.h"

namespace tools {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// A component made only of dots and blanks with at least two dots: "..", and the spellings that
// Windows trims to it ("...", ".. ").
bool ClimbsUp(const std::string& component) {
  int dots = 0;
  for (char c : component) {
    if (c == '.')
      ++dots;
    else if (c != ' ')
      return false;
  }
  return dots >= 2;
}

}  // namespace

std::string UnsafeNameReason(const std::string& name) {
  if (!name.empty() && IsSeparator(name[0])) return "its name is rooted";
  if (name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
    return "its name carries a drive letter";
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    if (ClimbsUp(name.substr(start, end - start))) return "its name holds a \"..\" component";
    start = end + 1;
  }
  return {};
}

EUnsafeEntryName::EUnsafeEntryName(const std::string& name, const std::string& reason)
    : Exception("refusing entry '" + PrintableName(name) + "': " + reason +
                " (--unsafe-paths allows it)") {}

void CheckEntryName(const std::string& name) {
  std::string reason = UnsafeNameReason(name);
  if (!reason.empty()) throw EUnsafeEntryName(name, reason);
}

std::string EntryNameOfPath(const std::string& outputPath, const std::string& targetPath) {
  if (!targetPath.empty() && outputPath.compare(0, targetPath.size(), targetPath) == 0)
    return outputPath.substr(targetPath.size());
  return outputPath;
}

}  // namespace tools
