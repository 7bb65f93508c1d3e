// Packing and unpacking of the archive records, little-endian, independent of the host.
#include "expander/archive_format.h"

#include <algorithm>

#include "platform/le_bytes.h"

namespace expander {
using platform::GetLe16;
using platform::GetLe32;
using platform::PutLe16;
using platform::PutLe32;

ArchiveHeader DecodeArchiveHeader(const ArchiveHeaderBytes& b) {
  ArchiveHeader h;
  std::copy(b.begin(), b.begin() + 5, h.Signature.begin());
  std::copy(b.begin() + 5, b.begin() + 8, h.MethodId.begin());
  h.TotalSize = static_cast<int32_t>(GetLe32(&b[8]));
  h.ArchiveType = b[12];
  std::copy(b.begin() + 13, b.end(), h.Reserved.begin());
  return h;
}

ArchiveHeaderBytes EncodeArchiveHeader(const ArchiveHeader& h) {
  ArchiveHeaderBytes b{};
  std::copy(h.Signature.begin(), h.Signature.end(), b.begin());
  std::copy(h.MethodId.begin(), h.MethodId.end(), b.begin() + 5);
  PutLe32(&b[8], static_cast<uint32_t>(h.TotalSize));
  b[12] = h.ArchiveType;
  std::copy(h.Reserved.begin(), h.Reserved.end(), b.begin() + 13);
  return b;
}

EntryHeader DecodeEntryHeader(const EntryHeaderBytes& b) {
  EntryHeader h;
  h.NameLength = static_cast<int16_t>(GetLe16(&b[0]));
  h.FileDate = GetLe32(&b[2]);
  h.Attributes = GetLe16(&b[6]);
  h.ExpandedSize = static_cast<int32_t>(GetLe32(&b[8]));
  h.StoredSize = static_cast<int32_t>(GetLe32(&b[12]));
  h.MethodCode = b[16];
  h.Checksum = GetLe32(&b[17]);
  h.Locked = static_cast<int32_t>(GetLe32(&b[21]));
  return h;
}

EntryHeaderBytes EncodeEntryHeader(const EntryHeader& h) {
  EntryHeaderBytes b{};
  PutLe16(&b[0], static_cast<uint16_t>(h.NameLength));
  PutLe32(&b[2], h.FileDate);
  PutLe16(&b[6], h.Attributes);
  PutLe32(&b[8], static_cast<uint32_t>(h.ExpandedSize));
  PutLe32(&b[12], static_cast<uint32_t>(h.StoredSize));
  b[16] = h.MethodCode;
  PutLe32(&b[17], h.Checksum);
  PutLe32(&b[21], static_cast<uint32_t>(h.Locked));
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
