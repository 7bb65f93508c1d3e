// The message texts of the component's exceptions.
#include "expander/quarnel.h"

namespace expander {

EInvalidHeader::EInvalidHeader() : Exception("Can't recognize compressed file header") {}

EInvalidHeaderArchiveType::EInvalidHeaderArchiveType()
    : Exception("Expand can't handle caSingle archive type in compressed header") {}

EUnrecognizedCompressionMethod::EUnrecognizedCompressionMethod()
    : Exception("Unrecognized compression method in header") {}

EInsufficientDiskSpace::EInsufficientDiskSpace(const std::string& path)
    : Exception("Not enough disk space to expand " + path) {}

EBadChecksum::EBadChecksum() : Exception("Bad checksum during expansion -- data may be invalid") {}

EInvalidKey::EInvalidKey() : Exception("File locked -- valid key required") {}

}  // namespace expander
