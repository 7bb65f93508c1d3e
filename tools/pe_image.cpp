// Parsing of PE headers with bounds checks.
#include "tools/pe_image.h"

#include "tools/le_bytes.h"

namespace tools {
namespace {

constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;

bool Has(const std::vector<uint8_t>& file, size_t at, size_t length) {
  return at <= file.size() && length <= file.size() - at;
}

size_t PeSignatureOffset(const std::vector<uint8_t>& file) {
  if (!Has(file, 0, 0x40) || file[0] != 'M' || file[1] != 'Z') return 0;
  size_t pe = Get32(file, 0x3C);
  if (!Has(file, pe, 4) || file[pe] != 'P' || file[pe + 1] != 'E' || file[pe + 2] != 0 ||
      file[pe + 3] != 0)
    return 0;
  return pe;
}

}  // namespace

EBadImage::EBadImage(const std::string& why) : Exception("not a usable PE image: " + why) {}

bool LooksLikePe(const std::vector<uint8_t>& file) {
  return PeSignatureOffset(file) != 0;
}

PeImage ParsePeImage(const std::vector<uint8_t>& file) {
  size_t pe = PeSignatureOffset(file);
  if (pe == 0) throw EBadImage("no PE signature");
  PeImage image;
  image.fileHeader = pe + 4;
  if (!Has(file, image.fileHeader, 20)) throw EBadImage("file header cut short");
  uint16_t sectionCount = Get16(file, image.fileHeader + 2);
  image.optionalHeaderSize = Get16(file, image.fileHeader + 16);
  image.optionalHeader = image.fileHeader + 20;
  if (!Has(file, image.optionalHeader, image.optionalHeaderSize) || image.optionalHeaderSize < 2)
    throw EBadImage("optional header cut short");
  uint16_t magic = Get16(file, image.optionalHeader);
  size_t directoriesAt = 0;
  if (magic == kMagicPe32)
    directoriesAt = 96;
  else if (magic == kMagicPe32Plus)
    directoriesAt = 112;
  else
    throw EBadImage("unknown optional header magic");
  if (image.optionalHeaderSize < directoriesAt) throw EBadImage("optional header too small");
  image.sectionAlignment = Get32(file, image.optionalHeader + 32);
  image.fileAlignment = Get32(file, image.optionalHeader + 36);
  image.sizeOfHeaders = Get32(file, image.optionalHeader + 60);
  image.directoryCount = Get32(file, image.optionalHeader + directoriesAt - 4);
  image.dataDirectories = image.optionalHeader + directoriesAt;
  size_t room = (image.optionalHeaderSize - directoriesAt) / 8;
  if (image.directoryCount > room) image.directoryCount = static_cast<uint32_t>(room);
  if (image.directoryCount > 16) image.directoryCount = 16;
  auto powerOfTwo = [](uint32_t v) { return v != 0 && (v & (v - 1)) == 0; };
  if (!powerOfTwo(image.fileAlignment) || !powerOfTwo(image.sectionAlignment))
    throw EBadImage("alignment is not a power of two");

  image.sectionTable = image.optionalHeader + image.optionalHeaderSize;
  if (!Has(file, image.sectionTable, size_t{sectionCount} * kPeSectionHeaderSize))
    throw EBadImage("section table cut short");
  for (uint16_t i = 0; i < sectionCount; ++i) {
    size_t h = image.sectionTable + i * kPeSectionHeaderSize;
    PeSection s;
    size_t nameLength = 0;
    while (nameLength < 8 && file[h + nameLength] != 0) ++nameLength;
    s.name.assign(reinterpret_cast<const char*>(&file[h]), nameLength);
    s.virtualSize = Get32(file, h + 8);
    s.virtualAddress = Get32(file, h + 12);
    s.rawSize = Get32(file, h + 16);
    s.rawPointer = Get32(file, h + 20);
    s.characteristics = Get32(file, h + 36);
    image.sections.push_back(s);
  }
  return image;
}

void GetDataDirectory(const std::vector<uint8_t>& file, const PeImage& image, int i, uint32_t& rva,
                      uint32_t& size) {
  rva = size = 0;
  if (i < 0 || static_cast<uint32_t>(i) >= image.directoryCount) return;
  rva = Get32(file, image.dataDirectories + 8 * i);
  size = Get32(file, image.dataDirectories + 8 * i + 4);
}

bool RvaToOffset(const PeImage& image, size_t fileSize, uint32_t rva, uint32_t length,
                 size_t& offset) {
  for (const PeSection& s : image.sections) {
    if (rva < s.virtualAddress) continue;
    uint64_t inSection = uint64_t{rva} - s.virtualAddress;
    uint64_t end = inSection + length;
    if (end > s.rawSize) continue;
    uint64_t at = uint64_t{s.rawPointer} + inSection;
    if (at + length > fileSize) return false;
    offset = static_cast<size_t>(at);
    return true;
  }
  return false;
}

uint32_t ComputePeChecksum(const std::vector<uint8_t>& file, size_t checkSumOffset) {
  // The field itself counts as zero, wherever it lies relative to the 16-bit words.
  auto byteAt = [&](size_t i) -> uint32_t {
    if (i >= file.size() || (i >= checkSumOffset && i < checkSumOffset + 4)) return 0;
    return file[i];
  };
  uint64_t sum = 0;
  for (size_t i = 0; i < file.size(); i += 2) {
    sum += byteAt(i) | (byteAt(i + 1) << 8);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + file.size());
}

}  // namespace tools
