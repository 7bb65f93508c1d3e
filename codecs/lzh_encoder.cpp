// Placeholder until the encoder lands: codes nothing.
#include "codecs/lzh.h"

namespace codecs {

void CompressLzh(CodecState&) {}

}  // namespace codecs
