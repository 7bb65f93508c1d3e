// Helpers of the POSIX backend: Windows-style paths to POSIX paths, and OS errors to the Windows
// codes that EInOutError's texts are chosen by.
#pragma once

#include <string>

namespace platform {
namespace posix {

// The path with every "\" turned into "/"; a name beginning with "\" is thus rooted at "/".
std::string NativePath(const std::string& path);

// The Windows code for errnoValue met on nativePath: ENOENT becomes 3 when the folder that
// should hold nativePath is missing, 2 otherwise.
int WindowsError(int errnoValue, const std::string& nativePath);

// True when the mode has none of the write permission bits: such a file counts as read-only,
// whoever asks (root included), as a file with the read-only attribute does on Windows.
bool IsReadOnlyMode(unsigned mode);

}  // namespace posix
}  // namespace platform
