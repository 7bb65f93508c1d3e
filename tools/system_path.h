// Conversion between std::filesystem paths and the 8-bit strings in the system code page that the
// platform layer, the command line and the archive's entry names use. On POSIX both are the same
// bytes; on Windows a path is wide and the 8-bit side is the ANSI code page, which the platform's
// A-functions read (the standard library would take narrow strings as UTF-8 there).
#pragma once

#include <filesystem>
#include <string>

namespace tools {

std::filesystem::path PathFromSystem(const std::string& text);
std::string SystemFromPath(const std::filesystem::path& path);

}  // namespace tools
