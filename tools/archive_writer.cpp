// Writing archives: placeholder headers first, the data streamed behind them, then the headers
// completed in place.
#include "tools/archive_writer.h"

#include <ctime>
#include <filesystem>
#include <limits>

#include "platform/exceptions.h"
#include "platform/fs.h"

namespace tools {

using expander::EntryHeader;
using platform::SeekOrigin;

namespace {

constexpr int32_t StoreBlockSize = codecs::CodecBufferSize;
// Attribute bits an entry carries: read-only, hidden, system, archive.
constexpr uint32_t EntryAttributeMask =
    platform::kFileAttributeReadOnly | platform::kFileAttributeHidden |
    platform::kFileAttributeSystem | platform::kFileAttributeArchive;

template <typename T>
void Apply(T& field, const std::optional<T>& value) {
  if (value) field = *value;
}

}  // namespace

ArchiveWriter::ArchiveWriter(platform::ByteStream& out, const std::string& methodId,
                             ArchiveHeaderOverrides headerOverrides)
    : out_(out),
      start_(out.Position()),
      methodId_(methodId),
      headerOverrides_(std::move(headerOverrides)),
      buffer_(StoreBlockSize) {
  const expander::ArchiveHeaderBytes placeholder{};
  out_.WriteBuffer(placeholder.data(), expander::ArchiveHeaderSize);
}

EntryHeader ArchiveWriter::AddFile(const std::string& path, const std::string& name,
                                   const EntryOptions& options) {
  platform::TFileStream file(path, platform::TFileStream::fmOpenRead);
  const int64_t size = file.Size();
  if (size > std::numeric_limits<int32_t>::max())
    throw platform::Exception("File too large for an archive entry: " + path);
  uint32_t attributes = platform::GetFileAttributesOf(path);
  attributes = attributes == platform::kInvalidFileAttributes ? platform::kFileAttributeArchive
                                                              : attributes & EntryAttributeMask;
  return AddStream(name, file, static_cast<int32_t>(size),
                   options.FileDate.value_or(platform::GetFileDosDateTime(path)),
                   options.Attributes.value_or(static_cast<uint16_t>(attributes)), options);
}

EntryHeader ArchiveWriter::AddBuffer(const std::string& name, const std::vector<uint8_t>& data,
                                     const EntryOptions& options) {
  if (data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    throw platform::Exception("Data too large for an archive entry: " + name);
  platform::TMemoryStream source(data);
  return AddStream(name, source, static_cast<int32_t>(data.size()),
                   options.FileDate.value_or(CurrentDosDateTime()),
                   options.Attributes.value_or(platform::kFileAttributeArchive), options);
}

EntryHeader ArchiveWriter::AddStream(const std::string& name, platform::ByteStream& source,
                                     int32_t size, uint32_t fileDate, uint16_t attributes,
                                     const EntryOptions& options) {
  if (name.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max()))
    throw platform::Exception("Entry name too long: " + name);

  const int64_t headerPos = out_.Position();
  const expander::EntryHeaderBytes placeholder{};
  out_.WriteBuffer(placeholder.data(), expander::EntryHeaderSize);
  out_.WriteBuffer(name.data(), static_cast<int32_t>(name.size()));
  const int64_t dataPos = out_.Position();

  uint32_t sum = 0;
  if (options.Method == expander::mtRLE || options.Method == expander::mtLZH) {
    codecs::RunCodec(Progress, out_, source, size, 0, options.Method, sum, codecs::pmCompress);
  } else {
    sum = StoreCopy(source, size);
  }
  const int64_t endPos = out_.Position();
  const int64_t stored = endPos - dataPos;
  if (stored > std::numeric_limits<int32_t>::max())
    throw platform::Exception("Stored data too large for an archive entry: " + name);

  EntryHeader header;
  header.NameLength = static_cast<int16_t>(name.size());
  header.FileDate = fileDate;
  header.Attributes = attributes;
  header.ExpandedSize = size;
  header.StoredSize = static_cast<int32_t>(stored);
  header.MethodCode = options.Method;
  header.Checksum = sum + static_cast<uint32_t>(options.LockKey);
  header.Locked = options.LockKey != 0 ? 1 : 0;
  const EntryHeaderOverrides& o = options.Override;
  Apply(header.NameLength, o.NameLength);
  Apply(header.FileDate, o.FileDate);
  Apply(header.Attributes, o.Attributes);
  Apply(header.ExpandedSize, o.ExpandedSize);
  Apply(header.StoredSize, o.StoredSize);
  Apply(header.MethodCode, o.MethodCode);
  Apply(header.Checksum, o.Checksum);
  Apply(header.Locked, o.Locked);

  const expander::EntryHeaderBytes bytes = expander::EncodeEntryHeader(header);
  out_.Seek(headerPos, SeekOrigin::soBeginning);
  out_.WriteBuffer(bytes.data(), expander::EntryHeaderSize);
  out_.Seek(endPos, SeekOrigin::soBeginning);

  totalSize_ += size;
  return header;
}

uint32_t ArchiveWriter::StoreCopy(platform::ByteStream& source, int32_t size) {
  uint32_t sum = 0;
  int32_t left = size;
  while (left > 0) {
    const int32_t want = left < StoreBlockSize ? left : StoreBlockSize;
    const int32_t n = source.Read(buffer_.data(), want);
    if (n <= 0) throw platform::EReadError();
    for (int32_t i = 0; i < n; ++i) sum += buffer_[static_cast<size_t>(i)];
    out_.WriteBuffer(buffer_.data(), n);
    left -= n;
  }
  return sum;
}

int64_t ArchiveWriter::Finish() {
  if (totalSize_ > std::numeric_limits<int32_t>::max() && !headerOverrides_.TotalSize)
    throw platform::Exception("Archive too large: the expanded sizes exceed 2147483647 bytes");
  const ArchiveHeaderOverrides& o = headerOverrides_;
  expander::ArchiveHeader header =
      expander::MakeArchiveHeader(o.MethodId.value_or(methodId_), static_cast<int32_t>(totalSize_));
  Apply(header.Signature, o.Signature);
  Apply(header.TotalSize, o.TotalSize);
  Apply(header.ArchiveType, o.ArchiveType);
  Apply(header.Reserved, o.Reserved);

  const int64_t endPos = out_.Position();
  const expander::ArchiveHeaderBytes bytes = expander::EncodeArchiveHeader(header);
  out_.Seek(start_, SeekOrigin::soBeginning);
  out_.WriteBuffer(bytes.data(), expander::ArchiveHeaderSize);
  out_.Seek(endPos, SeekOrigin::soBeginning);
  return endPos - start_;
}

uint32_t CurrentDosDateTime() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = *std::localtime(&now);
  platform::DosDateTime t{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                          local.tm_hour,        local.tm_min,     local.tm_sec};
  return platform::EncodeDosDateTime(t);
}

void TruncateFile(const std::string& path, int64_t length) {
  std::filesystem::resize_file(path, static_cast<uintmax_t>(length));
}

}  // namespace tools
