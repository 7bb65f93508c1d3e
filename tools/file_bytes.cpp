// Whole-file reads and writes.
#include "tools/file_bytes.h"

#include <limits>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace tools {

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  platform::TFileStream file(path, platform::TFileStream::fmOpenRead);
  int64_t size = file.Size();
  if (size > std::numeric_limits<int32_t>::max())
    throw platform::Exception(path + " is larger than 2 GiB");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  file.Seek(0, platform::SeekOrigin::soBeginning);
  if (size > 0) file.ReadBuffer(bytes.data(), static_cast<int32_t>(size));
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  platform::TFileStream file(path, platform::TFileStream::fmCreate);
  if (!bytes.empty()) file.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

}  // namespace tools
