// Little-endian reads and writes at byte offsets of a buffer, for the executable-file parsers.
// The callers check the bounds first; these helpers only assemble the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/le_bytes.h"

namespace tools {

inline uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
  return platform::GetLe16(&b[at]);
}
inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return platform::GetLe32(&b[at]);
}
inline void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  platform::PutLe16(&b[at], v);
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  platform::PutLe32(&b[at], v);
}

}  // namespace tools
