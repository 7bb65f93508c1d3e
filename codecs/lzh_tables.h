// Offset code tables of the LZH stream.
//
// An offset o (0..4095) is written as a prefix code for its upper six bits u = o >> 6, then the
// lower six bits plainly. The code lengths grow with u (u = 0: 3 bits; 1..3: 4; 4..11: 5; 12..23:
// 6; 24..47: 7; 48..63: 8), and the codes are canonical in increasing u, left-aligned in a byte:
// HighPartCode[0] = 0x00, HighPartCode[u + 1] = HighPartCode[u] + 2^(8 - HighPartLen[u]), so they
// fill the byte range exactly (u = 1: 0x20, 12: 0x90, 48: 0xF0, 63: 0xFF). The decoder indexes
// LeadHighPart and LeadCodeLen with the next 8 bits of the stream: every byte that starts with the
// code of u maps to u and its length. All four tables are generated below at compile time.
#pragma once

#include <cstdint>

namespace codecs {

namespace lzh_tables_detail {

// Length of the prefix code of u.
constexpr uint8_t HighPartLenOf(int u) {
  return u < 1 ? 3 : u < 4 ? 4 : u < 12 ? 5 : u < 24 ? 6 : u < 48 ? 7 : 8;
}

struct OffsetTables {
  uint8_t HighPartLen[64] = {};
  uint8_t HighPartCode[64] = {};
  uint8_t LeadHighPart[256] = {};
  uint8_t LeadCodeLen[256] = {};
};

constexpr OffsetTables MakeOffsetTables() {
  OffsetTables t;
  int code = 0;
  for (int u = 0; u < 64; ++u) {
    const int len = HighPartLenOf(u);
    t.HighPartLen[u] = static_cast<uint8_t>(len);
    t.HighPartCode[u] = static_cast<uint8_t>(code);
    const int span = 1 << (8 - len);
    for (int i = code; i < code + span; ++i) {
      t.LeadHighPart[i] = static_cast<uint8_t>(u);
      t.LeadCodeLen[i] = static_cast<uint8_t>(len);
    }
    code += span;
  }
  return t;
}

inline constexpr OffsetTables kOffsetTables = MakeOffsetTables();

}  // namespace lzh_tables_detail

// Code length (3..8) of the upper six offset bits u.
inline constexpr const uint8_t (&HighPartLen)[64] = lzh_tables_detail::kOffsetTables.HighPartLen;
// Code of u, left-aligned in a byte (the bits below the code are 0).
inline constexpr const uint8_t (&HighPartCode)[64] = lzh_tables_detail::kOffsetTables.HighPartCode;
// u whose code begins the byte i.
inline constexpr const uint8_t (&LeadHighPart)[256] = lzh_tables_detail::kOffsetTables.LeadHighPart;
// Length of the code that begins the byte i.
inline constexpr const uint8_t (&LeadCodeLen)[256] = lzh_tables_detail::kOffsetTables.LeadCodeLen;

static_assert(HighPartCode[1] == 0x20 && HighPartCode[11] == 0x88 && HighPartCode[12] == 0x90 &&
                  HighPartCode[23] == 0xBC && HighPartCode[24] == 0xC0 &&
                  HighPartCode[47] == 0xEE && HighPartCode[48] == 0xF0 && HighPartCode[63] == 0xFF,
              "offset codes are canonical in increasing u");

}  // namespace codecs
