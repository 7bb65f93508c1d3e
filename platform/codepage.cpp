// UTF-8 to Windows-1252.
#include "platform/codepage.h"

#include <cstdint>

namespace platform {
namespace {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F; 0 where the byte is unassigned.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToWindows1252(uint32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
    return static_cast<char>(codePoint);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] != 0 && kHighControls[i] == codePoint) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::string Utf8ToWindows1252(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    uint8_t lead = static_cast<uint8_t>(utf8[i]);
    int follow = lead < 0x80             ? 0
                 : (lead & 0xE0) == 0xC0 ? 1
                 : (lead & 0xF0) == 0xE0 ? 2
                 : (lead & 0xF8) == 0xF0 ? 3
                                         : -1;
    if (follow < 0 || i + follow >= utf8.size()) {
      out += '?';
      ++i;
      continue;
    }
    uint32_t codePoint = follow == 0 ? lead : lead & (0x3F >> follow);
    bool ok = true;
    for (int k = 1; k <= follow; ++k) {
      uint8_t b = static_cast<uint8_t>(utf8[i + k]);
      if ((b & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      codePoint = (codePoint << 6) | (b & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    out += ToWindows1252(codePoint);
    i += follow + 1;
  }
  return out;
}

}  // namespace platform
