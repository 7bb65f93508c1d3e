// TQuarnel: the expander component. A host obtains an archive as a readable ByteStream (for one
// carried as a module resource, with OpenArchiveResource), sets TargetPath and the other
// settings, and calls ExtractArchive, which checks the archive header and writes every entry as a
// file with its stored date and attribute bits, verifying each entry's checksum.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "codecs/frame.h"
#include "expander/folders.h"
#include "platform/exceptions.h"
#include "platform/stream.h"
#include "platform/strings.h"

namespace expander {

using codecs::TCProcessMode;
using codecs::TShowProgressEvent;
using platform::ByteStream;
using platform::TStrings;

// Event types; by-reference parameters are the var parameters.
using TFilenameCheckEvent = std::function<void(std::string& filepath, TCProcessMode mode)>;
using TQuarnelEvent =
    std::function<void(ByteStream& dest, ByteStream& source, std::string& CompressID,
                       int32_t& Outputsize, int32_t& checksum)>;
using TExpandEvent =
    std::function<void(ByteStream& dest, ByteStream& source, int32_t Sourcesize, int32_t Destsize,
                       const std::string& CompressID, int32_t& checksum)>;
using TRecognizeEvent = std::function<void(const std::string& CompressID, bool& recognized)>;

// The component's own exceptions; each carries only its message.
class EInvalidHeader : public platform::Exception {
 public:
  EInvalidHeader();
};
class EInvalidHeaderArchiveType : public platform::Exception {
 public:
  EInvalidHeaderArchiveType();
};
class EUnrecognizedCompressionMethod : public platform::Exception {
 public:
  EUnrecognizedCompressionMethod();
};
class EInsufficientDiskSpace : public platform::Exception {
 public:
  explicit EInsufficientDiskSpace(const std::string& path);
};
class EBadChecksum : public platform::Exception {
 public:
  EBadChecksum();
};
class EInvalidKey : public platform::Exception {
 public:
  EInvalidKey();
};

struct EntryHeader;

class TQuarnel {
 public:
  // Published properties, in their declared order. A new instance has every one empty, false,
  // 0 or unassigned.
  TQuarnelEvent OnCompress;           // custom codec, compressing direction; never raised here
  TExpandEvent OnExpand;              // decoder of mtCustom entries; enables custom identifiers
  TFilenameCheckEvent OnCheckFile;    // may change the output path, skip ("") or stop ("*")
  TRecognizeEvent OnRecognize;        // recognises identifiers other than the built-in ones
  TShowProgressEvent OnShowProgress;  // handed to the codec frame
  bool MakeDirectories = false;       // create missing folders of an output path
  bool ExceptionOnFileError = false;  // true: a file that cannot be created ends the call
  int32_t Key = 0;                    // key for locked entries; 0 means none

  // Not published: the free-space figure of the disk-space test. Empty (the default) asks the
  // file system; tests put a fixed figure here to reach the exact limits.
  TFreeSpaceQuery FreeSpaceQuery;

  const std::string& TargetPath() const noexcept { return targetPath_; }
  // Stores Value, with "\" appended when it is not empty and does not end in a folder separator
  // (platform::IsPathSeparator).
  void SetTargetPath(const std::string& Value);

  // A readable stream over the resource of type "TQUARNEL" named ResName, in the own executable
  // (LibName empty) or in the library file LibName. Exception "Could not load " + LibName +
  // " DLL" when the library cannot be loaded; EResNotFound when the resource is missing.
  std::unique_ptr<ByteStream> OpenArchiveResource(const std::string& ResName,
                                                  const std::string& LibName);

  // Expands every wanted entry of the archive in Source (read from its first byte). Names, when
  // given, selects entries by name without regard to case and receives the paths written.
  void ExtractArchive(ByteStream& Source, TStrings* Names);

  // Reads a 25-byte entry header and its name; false when either ends early, and also for a
  // header whose NameLength, StoredSize or ExpandedSize is negative (the name is then not read
  // for a negative NameLength): a walk must not read a negative count or seek backwards.
  bool ReadEntryHeader(ByteStream& Source, EntryHeader& Header, std::string& Name);

  // Maps a method identifier to a method code 0..3; EUnrecognizedCompressionMethod otherwise.
  uint8_t IdentifyMethod(const std::string& MethodId);

  // Expands one entry's stored data from Source into Dest and verifies its checksum
  // (EBadChecksum, or EInvalidKey for a locked entry). Unless it raises, Source ends just behind
  // the StoredSize bytes of data, also for an entry that no decoder takes (code 3 without
  // OnExpand, or above 3) and for a decoder that needed fewer bytes.
  void ExpandEntryData(ByteStream& Dest, ByteStream& Source, int32_t StoredSize,
                       int32_t ExpandedSize, uint32_t Checksum, uint8_t MethodCode,
                       const std::string& MethodId, bool Locked);

 private:
  std::string targetPath_;
};

}  // namespace expander
