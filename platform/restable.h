// The resource table of the POSIX build: module resources appended to an ELF file. The loader
// ignores bytes after the parts of an ELF file that its headers name, so the file still runs.
// Portable: the POSIX backend reads the table and `quarnel embed` writes it on any host.
//
// Layout, all integers little-endian, offsets counted from the start of the file:
//
//   [ image                ]  the file as it was before any resource was appended
//   [ resource data ...    ]  the bytes of each resource, one after the other, from ImageEnd
//   [ table: Count entries ]  from TableOffset; one entry per resource:
//        u32 DataOffset, u32 DataSize, u16 TypeLength, u16 NameLength,
//        TypeLength bytes of type, NameLength bytes of name (8-bit, no terminator)
//   [ trailer, 24 bytes    ]  the last 24 bytes of the file:
//        u32 ImageEnd, u32 TableOffset, u32 Count, u32 Version (1), 8 bytes "QRNLRSRC"
//
// A table is valid only when ImageEnd <= TableOffset <= file size - 24, the entries fill
// [TableOffset, file size - 24) exactly and every resource's data lies inside
// [ImageEnd, TableOffset). An
// image whose trailer is missing or invalid has no table. Writing cuts an image back to its
// ImageEnd first, so that a new table replaces the old one instead of stacking on it.
//
// Example: the 4-byte image 7F 45 4C 46 with resource type "T", name "N", data AA gives
//   7F 45 4C 46 | AA | 04 00 00 00  01 00 00 00  01 00 01 00  54  4E
//   | 04 00 00 00  05 00 00 00  01 00 00 00  01 00 00 00  51 52 4E 4C 52 53 52 43
//
// Lookup compares types and names without regard to the case of a-z, as Windows does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

constexpr size_t kResourceTrailerSize = 24;
constexpr char kResourceTableMagic[8] = {'Q', 'R', 'N', 'L', 'R', 'S', 'R', 'C'};
constexpr uint32_t kResourceTableVersion = 1;

struct ResourceTrailer {
  uint32_t imageEnd = 0;     // where the resource data begins (the size of the bare image)
  uint32_t tableOffset = 0;  // where the table begins
  uint32_t count = 0;        // number of entries
};

struct ResourceEntry {
  std::string type;     // resource type, as written
  std::string name;     // resource name, as written
  uint32_t offset = 0;  // start of the data, from the start of the file
  uint32_t size = 0;    // byte count of the data
};

// A resource to write.
struct ResourceItem {
  std::string type;
  std::string name;
  std::vector<uint8_t> bytes;
};

// Reads the trailer from the last kResourceTrailerSize bytes of a file of fileSize bytes. False
// when there is no trailer or its offsets do not fit the file.
bool ParseResourceTrailer(const uint8_t* last, uint64_t fileSize, ResourceTrailer& trailer);

// Reads the entries from the table bytes (the file from trailer.tableOffset up to the trailer).
// False when an entry or its data does not fit.
bool ParseResourceEntries(const uint8_t* table, size_t tableSize, const ResourceTrailer& trailer,
                          std::vector<ResourceEntry>& entries);

// Both steps over a whole file image. False when the image has no valid table.
bool ParseResourceTable(const std::vector<uint8_t>& image, ResourceTrailer& trailer,
                        std::vector<ResourceEntry>& entries);

// The first entry of that type and name without regard to case, or nullptr.
const ResourceEntry* FindResourceEntry(const std::vector<ResourceEntry>& entries,
                                       const std::string& type, const std::string& name);

// The image with the given resources as its table: an existing valid table is removed first.
// Of two items with the same type and name (without regard to case) the later one is kept.
// Raises Exception when a type or name is longer than 65535 bytes or the result would not fit
// 32-bit offsets.
std::vector<uint8_t> WriteResourceTable(const std::vector<uint8_t>& image,
                                        const std::vector<ResourceItem>& resources);

}  // namespace platform
