// TQuarnel's settings, the archive in a module resource and the entry header reader.
#include "expander/quarnel.h"

#include "expander/archive_format.h"
#include "expander/read_full.h"
#include "platform/fs.h"
#include "platform/resources.h"

namespace expander {

namespace {
constexpr const char* ArchiveResourceType = "TQUARNEL";
}  // namespace

void TQuarnel::SetTargetPath(const std::string& Value) {
  targetPath_ = Value;
  if (!Value.empty() && !platform::IsPathSeparator(Value.back())) targetPath_ += '\\';
}

std::unique_ptr<ByteStream> TQuarnel::OpenArchiveResource(const std::string& ResName,
                                                          const std::string& LibName) {
  std::vector<uint8_t> bytes;
  if (LibName.empty()) {
    bytes = platform::LoadOwnResource(ArchiveResourceType, ResName);
  } else if (!platform::LoadLibraryResource(LibName, ArchiveResourceType, ResName, bytes)) {
    throw platform::Exception("Could not load " + LibName + " DLL");
  }
  // The stream holds its own copy, so a library is already released here.
  return std::make_unique<platform::TResourceStream>(std::move(bytes));
}

bool TQuarnel::ReadEntryHeader(ByteStream& Source, EntryHeader& Header, std::string& Name) {
  EntryHeaderBytes raw;
  if (ReadFull(Source, raw.data(), EntryHeaderSize) != EntryHeaderSize) return false;
  Header = DecodeEntryHeader(raw);
  // A negative length must neither size a buffer nor a read: the header counts as unreadable.
  if (Header.NameLength < 0) return false;
  Name.resize(static_cast<size_t>(Header.NameLength));
  if (ReadFull(Source, Name.data(), Header.NameLength) != Header.NameLength) return false;
  // Negative sizes would move the walk backwards to a header already read (or make the
  // running total shrink); such a header ends the walk like one that ends early.
  return Header.StoredSize >= 0 && Header.ExpandedSize >= 0;
}

}  // namespace expander
