// The parts of a Windows PE image (PE32 or PE32+) that resource embedding needs: the file and
// optional headers, the data directories and the section table, and the mapping of a relative
// virtual address (RVA) to a file offset. Every offset read from the file is checked against its
// size, so a damaged or hostile file raises EBadImage and is never read out of bounds.
//
// Layout: "MZ" ... e_lfanew (u32 at 0x3C) -> "PE\0\0", file header (20 bytes: Machine,
// NumberOfSections, ..., PointerToSymbolTable at +8, SizeOfOptionalHeader at +16), optional
// header (Magic 0x10B or 0x20B; SectionAlignment +32, FileAlignment +36, SizeOfImage +56,
// SizeOfHeaders +60, CheckSum +64, data directories at +96 or +112), then 40-byte section headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/exceptions.h"

namespace tools {

// A file that is not a PE image this tool can work on; the message says what is wrong.
class EBadImage : public platform::Exception {
 public:
  explicit EBadImage(const std::string& why);
};

constexpr int kPeDirectorySecurity = 4;  // certificate table (a file offset, not an RVA)
constexpr int kPeDirectoryResource = 2;  // resource directory
constexpr size_t kPeSectionHeaderSize = 40;

struct PeSection {
  std::string name;          // up to 8 characters
  uint32_t virtualSize;      // bytes the section takes in memory
  uint32_t virtualAddress;   // RVA of its first byte
  uint32_t rawSize;          // bytes of file data (a multiple of FileAlignment)
  uint32_t rawPointer;       // file offset of the data
  uint32_t characteristics;  // IMAGE_SCN_* bits
};

struct PeImage {
  size_t fileHeader = 0;      // offset of the 20-byte file header (just after "PE\0\0")
  size_t optionalHeader = 0;  // offset of the optional header
  size_t optionalHeaderSize = 0;
  size_t dataDirectories = 0;   // offset of data directory 0
  uint32_t directoryCount = 0;  // NumberOfRvaAndSizes, at most 16 are used
  size_t sectionTable = 0;      // offset of the first section header
  uint32_t sectionAlignment = 0;
  uint32_t fileAlignment = 0;
  uint32_t sizeOfHeaders = 0;
  std::vector<PeSection> sections;

  size_t CheckSumOffset() const { return optionalHeader + 64; }
  size_t SizeOfImageOffset() const { return optionalHeader + 56; }
};

// True when the bytes begin like a PE image ("MZ" and a "PE\0\0" signature where e_lfanew says).
bool LooksLikePe(const std::vector<uint8_t>& file);

// Parses the headers; EBadImage when they are incomplete or inconsistent.
PeImage ParsePeImage(const std::vector<uint8_t>& file);

// Data directory i as (RVA, size); (0, 0) when the image has fewer directories.
void GetDataDirectory(const std::vector<uint8_t>& file, const PeImage& image, int i, uint32_t& rva,
                      uint32_t& size);

// The file offset of length bytes at rva, all inside one section's file data; false when they
// are not all there.
bool RvaToOffset(const PeImage& image, size_t fileSize, uint32_t rva, uint32_t length,
                 size_t& offset);

// The PE checksum of the file (the CheckSum field itself counted as zero).
uint32_t ComputePeChecksum(const std::vector<uint8_t>& file, size_t checkSumOffset);

}  // namespace tools
