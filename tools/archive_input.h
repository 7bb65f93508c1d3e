// Opening the archive named on the command line, and the parts of the archive walk that the
// commands share with ExtractArchive: the header checks and the end-of-walk rule.
#pragma once

#include <memory>
#include <string>

#include "expander/archive_format.h"
#include "platform/stream.h"

namespace tools {

// The archive file itself, or with module set the "MyArchiv" resource of the launcher file.
std::unique_ptr<platform::ByteStream> OpenArchiveInput(const std::string& path, bool module);

// Reads the archive header from the start of source and checks it as ExtractArchive does:
// EInvalidHeader for a short stream or a wrong signature, EInvalidHeaderArchiveType for a type
// other than caFileSet.
expander::ArchiveHeader ReadCheckedArchiveHeader(platform::ByteStream& source);

}  // namespace tools
