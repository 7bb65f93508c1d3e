// Formatting of list lines.
#include "tools/listing.h"

#include <cstdio>

#include "platform/fs.h"

namespace tools {
namespace {

std::string MethodName(uint8_t code) {
  switch (code) {
    case expander::mtNone:
      return "none";
    case expander::mtRLE:
      return "rle";
    case expander::mtLZH:
      return "lzh";
    case expander::mtCustom:
      return "custom";
    default:
      return "m" + std::to_string(code);
  }
}

}  // namespace

std::string FormatListLine(const expander::EntryHeader& entry, const std::string& name) {
  platform::DosDateTime t = platform::DecodeDosDateTime(entry.FileDate);
  const uint16_t a = entry.Attributes;
  char attributes[5] = {(a & platform::kFileAttributeReadOnly) ? 'R' : '-',
                        (a & platform::kFileAttributeHidden) ? 'H' : '-',
                        (a & platform::kFileAttributeSystem) ? 'S' : '-',
                        (a & platform::kFileAttributeArchive) ? 'A' : '-', 0};
  char line[128];
  std::snprintf(line, sizeof line, "%-6s %10ld %10ld  %04d-%02d-%02d %02d:%02d:%02d  %s  %s  ",
                MethodName(entry.MethodCode).c_str(), static_cast<long>(entry.ExpandedSize),
                static_cast<long>(entry.StoredSize), t.year, t.month, t.day, t.hour, t.minute,
                t.second, attributes, entry.Locked > 0 ? "L" : "-");
  return line + PrintableName(name);
}

std::string PrintableName(std::string name) {
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return name;
}

}  // namespace tools
