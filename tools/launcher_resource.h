// The archive a launcher carries: its resource "MyArchiv" of type "TQUARNEL". A Windows launcher
// (PE, "MZ") holds it in its resource tree; a Linux launcher (ELF, 7F "ELF") in the resource
// table appended to the file (platform/restable.h). Both are read and written here from the
// bytes of the file, so every host can embed and inspect both kinds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

enum class ExecutableFormat { kPe, kElf, kOther };

// By the magic at the start of the file.
ExecutableFormat DetectExecutableFormat(const std::vector<uint8_t>& file);

// A copy of the stub that carries the archive; an archive the stub already carries is replaced
// and every other resource is kept. Exception when the stub is neither PE nor ELF.
std::vector<uint8_t> EmbedArchive(const std::vector<uint8_t>& stub,
                                  const std::vector<uint8_t>& archive);

// The archive the launcher carries; EResNotFound naming "MyArchiv" when it has none, Exception
// when the file is neither PE nor ELF.
std::vector<uint8_t> ReadEmbeddedArchive(const std::vector<uint8_t>& launcher);

}  // namespace tools
