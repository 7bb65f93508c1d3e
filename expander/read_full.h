// Reading a fixed count from a stream that may deliver it in pieces; a short count means the
// stream ended.
#pragma once

#include <cstdint>

#include "platform/stream.h"

namespace expander {

// Reads until count bytes have arrived or the stream delivers nothing; returns the bytes read.
inline int32_t ReadFull(platform::ByteStream& source, void* buffer, int32_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int32_t done = 0;
  while (done < count) {
    const int32_t n = source.Read(out + done, count - done);
    if (n <= 0) break;
    done += n;
  }
  return done;
}

}  // namespace expander
