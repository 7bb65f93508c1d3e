// Small helpers shared by the fuzz targets: running a codec over buffers in memory.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codecs/frame.h"
#include "platform/stream.h"

namespace fuzzutil {

inline std::vector<uint8_t> Run(const uint8_t* data, size_t size, uint8_t method,
                                codecs::TCProcessMode mode, int32_t destSize,
                                uint32_t* checksum = nullptr) {
  platform::TMemoryStream source(std::vector<uint8_t>(data, data + size));
  platform::TMemoryStream dest;
  uint32_t sum = 0;
  codecs::RunCodec(nullptr, dest, source, static_cast<int32_t>(size), destSize, method, sum, mode);
  if (checksum) *checksum = sum;
  return dest.Bytes();
}

// Aborts with a message when a property of the codecs does not hold.
inline void Check(bool ok, const char* what) {
  if (!ok) {
    __builtin_printf("check failed: %s\n", what);
    std::abort();
  }
}

}  // namespace fuzzutil
