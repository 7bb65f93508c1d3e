// Module resources: the bytes of a resource looked up by type and name without regard to case,
// in the program's own executable or in a named file. Windows: FindResourceA/LoadResource, with
// LoadLibraryA for a named file. POSIX: the resource table that restable.h describes, appended
// to an ELF file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Bytes of the resource of the given type and name in the own executable; EResNotFound naming
// the resource when it is missing.
std::vector<uint8_t> LoadOwnResource(const std::string& type, const std::string& name);

// Bytes of the resource in the library file libName. Returns false when the file cannot be
// loaded as a library; raises EResNotFound when it loads but lacks the resource. The library is
// released before the call returns.
bool LoadLibraryResource(const std::string& libName, const std::string& type,
                         const std::string& name, std::vector<uint8_t>& bytes);

}  // namespace platform
