// The archive writer: builds an archive in the container format that TQuarnel reads (see
// expander/archive_format.h), entry by entry, from files or from bytes in memory. Data is
// stored as it is (mtNone) or coded through the codec frame in the compressing direction (mtRLE,
// mtLZH); the entry's checksum is the sum of its uncompressed bytes, plus the lock key when the
// entry is locked. Each entry's data streams from its source straight into the archive; the
// headers are completed afterwards by seeking back, so the output must be seekable (a file or
// memory stream). For tests, every header field can be overridden, and TruncateFile cuts a
// written archive short (a TMemoryStream's Bytes() can simply be resized).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "codecs/frame.h"
#include "expander/archive_format.h"
#include "platform/stream.h"

namespace tools {

// Values written instead of the computed ones in the archive header.
struct ArchiveHeaderOverrides {
  std::optional<std::array<uint8_t, 5>> Signature;
  std::optional<std::string> MethodId;  // the first three characters are written
  std::optional<int32_t> TotalSize;
  std::optional<uint8_t> ArchiveType;
  std::optional<std::array<uint8_t, 8>> Reserved;
};

// Values written instead of the computed ones in an entry header. The name and the data are
// written as they are whatever NameLength and StoredSize claim.
struct EntryHeaderOverrides {
  std::optional<int16_t> NameLength;
  std::optional<uint32_t> FileDate;
  std::optional<uint16_t> Attributes;
  std::optional<int32_t> ExpandedSize;
  std::optional<int32_t> StoredSize;
  std::optional<uint8_t> MethodCode;
  std::optional<uint32_t> Checksum;
  std::optional<int32_t> Locked;
};

struct EntryOptions {
  // mtNone stores the bytes, mtRLE and mtLZH code them; any other code stores them as given
  // (custom data made by the caller), with that code in the header.
  uint8_t Method = expander::mtNone;
  // Non-zero: the entry is locked, and its checksum has this key added (mod 2^32).
  int32_t LockKey = 0;
  // MS-DOS local date and time, and attribute bits; by default those of the file, or for bytes
  // from memory the current time and the archive bit.
  std::optional<uint32_t> FileDate;
  std::optional<uint16_t> Attributes;
  EntryHeaderOverrides Override;
};

class ArchiveWriter {
 public:
  // Starts an archive at the current position of out (normally its start) with the given
  // method identifier in its header.
  ArchiveWriter(platform::ByteStream& out, const std::string& methodId,
                ArchiveHeaderOverrides headerOverrides = {});
  ArchiveWriter(const ArchiveWriter&) = delete;
  ArchiveWriter& operator=(const ArchiveWriter&) = delete;

  // Progress of the codec runs, as the codec frame reports it; may stay empty.
  codecs::TShowProgressEvent Progress;

  // Adds the file at path under the entry name (with "\" separators). Returns the header written.
  expander::EntryHeader AddFile(const std::string& path, const std::string& name,
                                const EntryOptions& options = {});
  // Adds bytes from memory.
  expander::EntryHeader AddBuffer(const std::string& name, const std::vector<uint8_t>& data,
                                  const EntryOptions& options = {});
  // Adds size bytes read from source (EReadError when it delivers fewer).
  expander::EntryHeader AddStream(const std::string& name, platform::ByteStream& source,
                                  int32_t size, uint32_t fileDate, uint16_t attributes,
                                  const EntryOptions& options);

  // Writes the archive header with the total of the expanded sizes (or its overrides) and leaves
  // out at the end of the archive. Returns the archive's length in bytes.
  int64_t Finish();

 private:
  uint32_t StoreCopy(platform::ByteStream& source, int32_t size);

  platform::ByteStream& out_;
  int64_t start_;         // position of the archive header in out_
  std::string methodId_;  // identifier of the archive header
  ArchiveHeaderOverrides headerOverrides_;
  int64_t totalSize_ = 0;        // sum of the expanded sizes written so far
  std::vector<uint8_t> buffer_;  // block buffer for stored data
};

// The MS-DOS local date and time of the present moment.
uint32_t CurrentDosDateTime();

// Cuts the file at path to its first length bytes.
void TruncateFile(const std::string& path, int64_t length);

}  // namespace tools
