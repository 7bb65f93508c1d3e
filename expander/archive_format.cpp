// Packing and unpacking of the archive records, little-endian, independent of the host.
#include "expander/archive_format.h"

#include <algorithm>

namespace expander {
namespace {

uint16_t Get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

ArchiveHeader DecodeArchiveHeader(const ArchiveHeaderBytes& b) {
  ArchiveHeader h;
  std::copy(b.begin(), b.begin() + 5, h.Signature.begin());
  std::copy(b.begin() + 5, b.begin() + 8, h.MethodId.begin());
  h.TotalSize = static_cast<int32_t>(Get32(&b[8]));
  h.ArchiveType = b[12];
  std::copy(b.begin() + 13, b.end(), h.Reserved.begin());
  return h;
}

ArchiveHeaderBytes EncodeArchiveHeader(const ArchiveHeader& h) {
  ArchiveHeaderBytes b{};
  std::copy(h.Signature.begin(), h.Signature.end(), b.begin());
  std::copy(h.MethodId.begin(), h.MethodId.end(), b.begin() + 5);
  Put32(&b[8], static_cast<uint32_t>(h.TotalSize));
  b[12] = h.ArchiveType;
  std::copy(h.Reserved.begin(), h.Reserved.end(), b.begin() + 13);
  return b;
}

EntryHeader DecodeEntryHeader(const EntryHeaderBytes& b) {
  EntryHeader h;
  h.NameLength = static_cast<int16_t>(Get16(&b[0]));
  h.FileDate = Get32(&b[2]);
  h.Attributes = Get16(&b[6]);
  h.ExpandedSize = static_cast<int32_t>(Get32(&b[8]));
  h.StoredSize = static_cast<int32_t>(Get32(&b[12]));
  h.MethodCode = b[16];
  h.Checksum = Get32(&b[17]);
  h.Locked = static_cast<int32_t>(Get32(&b[21]));
  return h;
}

EntryHeaderBytes EncodeEntryHeader(const EntryHeader& h) {
  EntryHeaderBytes b{};
  Put16(&b[0], static_cast<uint16_t>(h.NameLength));
  Put32(&b[2], h.FileDate);
  Put16(&b[6], h.Attributes);
  Put32(&b[8], static_cast<uint32_t>(h.ExpandedSize));
  Put32(&b[12], static_cast<uint32_t>(h.StoredSize));
  b[16] = h.MethodCode;
  Put32(&b[17], h.Checksum);
  Put32(&b[21], static_cast<uint32_t>(h.Locked));
  return b;
}

ArchiveHeader MakeArchiveHeader(const std::string& methodId, int32_t totalSize) {
  ArchiveHeader h;
  h.Signature = ArchiveSignature;
  h.MethodId = {' ', ' ', ' '};
  std::copy_n(methodId.begin(), std::min<size_t>(methodId.size(), 3), h.MethodId.begin());
  h.TotalSize = totalSize;
  h.ArchiveType = caFileSet;
  return h;
}

std::string MethodIdFor(uint8_t methodCode) {
  switch (methodCode) {
    case mtNone:
      return MethodIdNone;
    case mtRLE:
      return MethodIdRle;
    case mtLZH:
      return MethodIdLzh;
    case mtCustom:
      return MethodIdCustom;
    default:
      return "";
  }
}

}  // namespace expander
