// Whole files as bytes, read and written through the platform's file streams (so that failures
// carry the platform's messages).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// The bytes of the file; EFCreateError naming it when it cannot be opened.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
// Creates or replaces the file with the bytes; EFCreateError or EWriteError on failure.
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace tools
