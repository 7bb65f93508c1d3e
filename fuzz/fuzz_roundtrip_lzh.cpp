// LZH round trip: CompressLzh of any input expands back to it exactly, the input sum is the
// checksum both ways, and a second compression gives the same stream.
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t inSum = 0, outSum = 0;
  auto packed = fuzzutil::Run(data, size, codecs::mtLZH, codecs::pmCompress, 0, &inSum);
  auto again = fuzzutil::Run(data, size, codecs::mtLZH, codecs::pmCompress, 0);
  fuzzutil::Check(packed == again, "two runs give the same stream");
  auto out = fuzzutil::Run(packed.data(), packed.size(), codecs::mtLZH, codecs::pmExpand,
                           static_cast<int32_t>(size), &outSum);
  fuzzutil::Check(out.size() == size && std::equal(out.begin(), out.end(), data),
                  "LZH round trip");
  fuzzutil::Check(inSum == outSum, "checksums agree");
  return 0;
}
