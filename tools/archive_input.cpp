// Opening archives and reading their headers.
#include "tools/archive_input.h"

#include "expander/quarnel.h"
#include "tools/file_bytes.h"
#include "tools/launcher_resource.h"

namespace tools {

std::unique_ptr<platform::ByteStream> OpenArchiveInput(const std::string& path, bool module) {
  if (!module)
    return std::make_unique<platform::TFileStream>(path, platform::TFileStream::fmOpenRead);
  return std::make_unique<platform::TResourceStream>(ReadEmbeddedArchive(ReadFileBytes(path)));
}

expander::ArchiveHeader ReadCheckedArchiveHeader(platform::ByteStream& source) {
  source.Seek(0, platform::SeekOrigin::soBeginning);
  expander::ArchiveHeaderBytes raw{};
  int32_t got = 0;
  while (got < expander::ArchiveHeaderSize) {
    int32_t n = source.Read(raw.data() + got, expander::ArchiveHeaderSize - got);
    if (n <= 0) throw expander::EInvalidHeader();
    got += n;
  }
  expander::ArchiveHeader header = expander::DecodeArchiveHeader(raw);
  if (!header.HasSignature()) throw expander::EInvalidHeader();
  if (header.ArchiveType != expander::caFileSet) throw expander::EInvalidHeaderArchiveType();
  return header;
}

}  // namespace tools
