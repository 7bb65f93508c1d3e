// Method identification and the expansion and verification of one entry's data.
#include "expander/archive_format.h"
#include "expander/quarnel.h"

namespace expander {

uint8_t TQuarnel::IdentifyMethod(const std::string& MethodId) {
  if (MethodId == MethodIdRle) return mtRLE;
  if (MethodId == MethodIdLzh) return mtLZH;
  // Custom identifiers exist only while there is a custom decoder.
  if (OnExpand) {
    if (MethodId == MethodIdCustom) return mtCustom;
    if (OnRecognize) {
      bool recognized = false;
      OnRecognize(MethodId, recognized);
      if (recognized) return mtCustom;
    }
  }
  if (MethodId != MethodIdNone) throw EUnrecognizedCompressionMethod();
  return mtNone;
}

void TQuarnel::ExpandEntryData(ByteStream& Dest, ByteStream& Source, int32_t StoredSize,
                               int32_t ExpandedSize, uint32_t Checksum, uint8_t MethodCode,
                               const std::string& MethodId, bool Locked) {
  if (Locked && Key == 0) throw EInvalidKey();

  uint32_t sum = 0;
  if (MethodCode == mtNone) {
    if (StoredSize > 0) Dest.CopyFrom(Source, StoredSize);
    return;  // stored entries are not verified
  }

  const int64_t start = Source.Position();
  if (MethodCode == mtRLE || MethodCode == mtLZH) {
    codecs::RunCodec(OnShowProgress, Dest, Source, StoredSize, ExpandedSize, MethodCode, sum,
                     codecs::pmExpand);
  } else if (MethodCode == mtCustom && OnExpand) {
    int32_t checksum = 0;
    OnExpand(Dest, Source, StoredSize, ExpandedSize, MethodId, checksum);
    sum = static_cast<uint32_t>(checksum);
  }
  // The next entry header follows the stored data. A decoder that finished before the end of its
  // data (or an entry no decoder takes: code 3 without a handler, or above 3) would leave Source
  // inside it, so the walk is put back on the entry boundary. Never backwards past the start.
  const int64_t next = start + (StoredSize > 0 ? StoredSize : 0);
  if (Source.Position() != next) Source.Seek(next, platform::SeekOrigin::soBeginning);

  if (sum == Checksum) return;
  if (Locked) {
    if (static_cast<uint32_t>(sum + static_cast<uint32_t>(Key)) == Checksum) return;
    throw EInvalidKey();
  }
  throw EBadChecksum();
}

}  // namespace expander
