// ExtractArchive: the walk over the entries. The archive header is checked before any file is
// touched; each wanted entry then goes through the name list, OnCheckFile, the disk-space test and
// folder creation before its file is created, expanded, dated and given its attributes.
#include <memory>

#include "expander/archive_format.h"
#include "expander/folders.h"
#include "expander/quarnel.h"
#include "expander/read_full.h"
#include "platform/fs.h"

namespace expander {

namespace {

// Moves past an entry's stored data; sizes are never negative here (ReadEntryHeader).
void SkipStoredData(ByteStream& Source, const EntryHeader& entry) {
  Source.Seek(entry.StoredSize, platform::SeekOrigin::soCurrent);
}

// The output path of an entry: a name that begins with "\" is rooted, every other one lies
// below TargetPath.
std::string OutputPathFor(const std::string& targetPath, const std::string& name) {
  if (!name.empty() && name[0] == '\\') return name;
  return targetPath + name;
}

}  // namespace

// Creates, fills, dates and closes the output file of one entry. False when the file cannot be
// created and ExceptionOnFileError lets the entry be skipped (its data is then still unread).
static bool WriteEntryFile(TQuarnel& q, ByteStream& Source, const EntryHeader& entry,
                           const std::string& path, const std::string& methodId) {
  std::unique_ptr<platform::TFileStream> file;
  try {
    file = std::make_unique<platform::TFileStream>(path, platform::TFileStream::fmCreate);
  } catch (const platform::EFCreateError&) {
    if (q.ExceptionOnFileError) throw;
    return false;
  }

  // Attributes come last, after the close: once the read-only bit is set nothing more may be
  // written to the file, and the close itself must not be what fails.
  auto closeAndSetAttributes = [&] {
    if (!file) return;
    file.reset();
    platform::SetFileAttributesOf(path, entry.Attributes);  // a failure is ignored
  };

  try {
    try {
      q.ExpandEntryData(*file, Source, entry.StoredSize, entry.ExpandedSize, entry.Checksum,
                        entry.MethodCode, methodId, entry.Locked > 0);
    } catch (const EInvalidKey&) {
      // A locked entry's bytes are not to be left behind without the key.
      file.reset();
      platform::DeleteFileAt(path);
      throw;
    }
    // The date goes through the open handle after the last write: no later write can change it
    // and the file need not be opened a second time. FileDate is local time; a failure is
    // ignored.
    platform::SetFileDate(*file, entry.FileDate);
  } catch (...) {
    closeAndSetAttributes();
    throw;
  }
  closeAndSetAttributes();
  return true;
}

void TQuarnel::ExtractArchive(ByteStream& Source, TStrings* Names) {
  // Paths written by this call; a local, so released however the call ends.
  platform::TStringList written;

  Source.Seek(0, platform::SeekOrigin::soBeginning);
  ArchiveHeaderBytes raw{};
  // Bytes that were never delivered are not interpreted: a stream this short has no header.
  if (ReadFull(Source, raw.data(), ArchiveHeaderSize) != ArchiveHeaderSize) throw EInvalidHeader();
  const ArchiveHeader header = DecodeArchiveHeader(raw);
  if (!header.HasSignature()) throw EInvalidHeader();
  if (header.ArchiveType != caFileSet) throw EInvalidHeaderArchiveType();
  // Only validates: every entry is expanded by its own method code.
  const std::string methodId = header.MethodIdString();
  IdentifyMethod(methodId);

  int32_t total = 0;
  EntryHeader entry;
  std::string name;
  while (ReadEntryHeader(Source, entry, name)) {
    // The header after the last counted entry is read before the walk ends here.
    if (total >= header.TotalSize) break;
    if (Names && Names->IndexOf(name) < 0) {
      SkipStoredData(Source, entry);
      continue;
    }

    std::string path = OutputPathFor(TargetPath(), name);
    if (OnCheckFile) {
      OnCheckFile(path, codecs::pmExpand);
      if (path.empty()) {
        SkipStoredData(Source, entry);
        continue;
      }
      if (path == "*") break;
    }

    if (SpaceAvailable(path, FreeSpaceQuery) < static_cast<int64_t>(entry.ExpandedSize))
      throw EInsufficientDiskSpace(path);
    if (MakeDirectories) CreateFolderPath(platform::ExtractFilePath(path));

    if (!WriteEntryFile(*this, Source, entry, path, methodId)) {
      SkipStoredData(Source, entry);
      continue;
    }
    total = static_cast<int32_t>(static_cast<uint32_t>(total) +
                                 static_cast<uint32_t>(entry.ExpandedSize));
    written.Add(path);
  }

  // Only a normal end hands the caller the paths; an exception leaves Names as it was.
  if (Names) {
    Names->Clear();
    for (const std::string& p : written.Items()) Names->Add(p);
  }
}

}  // namespace expander
