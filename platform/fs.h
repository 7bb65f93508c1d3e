// File-system operations used by the expander: attributes, folders, free space, file size,
// dates, attributes and deletion. Paths are Windows paths ("\" separator, optional drive
// letter). The POSIX backend takes "/" as a separator too and turns every "\" into "/" at the
// system call, so entry names with "\" work there as well.
#pragma once

#include <cstdint>
#include <string>

#include "platform/stream.h"

namespace platform {

constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr uint32_t kFileAttributeReadOnly = 0x01;
constexpr uint32_t kFileAttributeHidden = 0x02;
constexpr uint32_t kFileAttributeSystem = 0x04;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeArchive = 0x20;

// Attribute bits of an existing path, or kInvalidFileAttributes. POSIX: a folder gives
// kFileAttributeDirectory; a file gives kFileAttributeArchive, plus kFileAttributeReadOnly when
// it has no write permission bit.
uint32_t GetFileAttributesOf(const std::string& path);
// Creates one folder whose parent exists. Returns 0 or the Windows error code of the failure
// (POSIX: mapped from errno by oserror.h, e.g. 3 for a missing parent, 183 for an existing
// path).
int CreateOneFolder(const std::string& path);
// Free bytes for writing at path, or -1 when they cannot be determined. Windows: the drive of
// a path "X:..." or else the current drive. POSIX: the file system that holds the nearest
// existing folder of path.
int64_t FreeSpaceFor(const std::string& path);
// True for an existing file; false for a folder and for a missing path. A path with a wildcard
// ("*" or "?") is never an existing file (Windows would otherwise match it as a pattern).
bool FileExists(const std::string& path);
// Opens an existing file for reading and writing with others allowed to read, takes its size and
// closes it. Raises EInOutError with the code of the step that failed. A read-only file gives
// access denied (5, "Dateizugriff verweigert"): on POSIX a file without any write permission
// bit counts as read-only, also for root; on Windows the attribute is asked first, since Wine
// run by root would open such a file.
int64_t ExistingFileSize(const std::string& path);
// Sets the last-write time of an open file from an MS-DOS local date (upper 16 bits) and time
// (lower 16 bits), converted to UTC; the creation and access times stay. Returns false on
// failure and for a date or time that does not exist (IsValidDosDateTime). Windows:
// DosDateTimeToFileTime, LocalFileTimeToFileTime, SetFileTime on the handle. POSIX: mktime in
// the local time zone, futimens on the descriptor.
bool SetFileDate(TFileStream& file, uint32_t dosDateTime);
// Sets the attribute bits of a path; false on failure. POSIX: only the read-only bit has a
// meaning there. Read-only clears all write permission bits; otherwise the owner's write bit is
// set again. The archive's attribute bits know no execute permission, yet an extracted
// installer must be startable: a file whose content begins with "#!" or with the ELF magic
// 7F 45 4C 46 also gets the execute bits of the classes (owner, group, others) that may read
// it. The read-only bit of a folder is ignored, as Windows does.
bool SetFileAttributesOf(const std::string& path, uint32_t attributes);
// Deletes a file; false on failure, for a folder and, as on Windows, for a read-only file (on
// POSIX: one without any write permission bit).
bool DeleteFileAt(const std::string& path);
// True for the folder separator: "\" (on POSIX also "/").
bool IsPathSeparator(char c);
// True for the characters that separate folders in a path ("\" and ":"; on POSIX also "/").
bool IsPathDelimiter(char c);
// The folder part of a path: everything up to and including its last delimiter, empty if none.
std::string ExtractFilePath(const std::string& path);
// The full file name of the program's own executable.
std::string ModuleFileName();
// The last-write time of a file as an MS-DOS local date and time (for the archive writer),
// clamped to 1980..2107 (ClampedDosDateTime); 0 on failure.
uint32_t GetFileDosDateTime(const std::string& path);

// MS-DOS date/time helpers, independent of the OS.
struct DosDateTime {
  int year, month, day, hour, minute, second;
};
DosDateTime DecodeDosDateTime(uint32_t dosDateTime);
uint32_t EncodeDosDateTime(const DosDateTime& t);
// True when the fields name a real moment: month 1-12, a day of that month, hour 0-23, minute
// 0-59, second 0-58 (the field holds 0-62 in steps of two). SetFileDate refuses other values on
// both backends.
bool IsValidDosDateTime(uint32_t dosDateTime);
// Encodes a local time; years before 1980 give 1 January 1980 00:00:00, years after 2107 give
// 31 December 2107 23:59:58, the ends of the range MS-DOS time can hold.
uint32_t ClampedDosDateTime(const DosDateTime& t);

}  // namespace platform
