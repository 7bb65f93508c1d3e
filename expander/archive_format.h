// The archive container: a 21-byte ArchiveHeader, then entries one after another, each a 25-byte
// EntryHeader, NameLength name bytes and StoredSize bytes of stored data. No index, no end mark,
// no alignment; every integer is little-endian and the records are packed, so the records are
// read and written byte by byte here, never through struct layout.
//
// ArchiveHeader: 0 Signature "ZOLT" 1A | 5 MethodId (3 chars) | 8 TotalSize i32 |
//                12 ArchiveType u8 (1 = caFileSet) | 13 Reserved (8 bytes)
// EntryHeader:   0 NameLength i16 | 2 FileDate u32 (MS-DOS date << 16 | time, local) |
//                6 Attributes u16 | 8 ExpandedSize i32 | 12 StoredSize i32 | 16 MethodCode u8 |
//                17 Checksum u32 | 21 Locked i32 (locked when > 0)
// Example: 5A 4F 4C 54 1A 4C 5A 48 CA 0B 18 00 01 00.. is "ZOLT" 1A "LZH", TotalSize 1575882,
// type 1; the entry header 0A 00 91 80 C4 22 20 00 E6 01 00 00 0F 01 00 00 02 F8 9C 00 00
// 00 00 00 00 is a 10-byte name, 4 June 1997 16:04:34, archive bit, 486 bytes stored in 271,
// LZH, checksum 40184, not locked.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "codecs/frame.h"

namespace expander {

using codecs::mtCustom;
using codecs::mtLZH;
using codecs::mtNone;
using codecs::mtRLE;

constexpr int ArchiveHeaderSize = 21;
constexpr int EntryHeaderSize = 25;
constexpr int MethodIdSize = 3;

// The five signature bytes: "ZOLT" followed by 0x1A.
constexpr std::array<uint8_t, 5> ArchiveSignature = {'Z', 'O', 'L', 'T', 0x1A};

// Archive types; the reader accepts only an archive of entries.
enum : uint8_t { caFileSet = 1 };

// Method identifiers of the archive header, by method code.
constexpr const char* MethodIdNone = "NON";
constexpr const char* MethodIdRle = "RLE";
constexpr const char* MethodIdLzh = "LZH";
constexpr const char* MethodIdCustom = "CUS";

using ArchiveHeaderBytes = std::array<uint8_t, ArchiveHeaderSize>;
using EntryHeaderBytes = std::array<uint8_t, EntryHeaderSize>;

struct ArchiveHeader {
  std::array<uint8_t, 5> Signature{};  // "ZOLT" 0x1A in a valid archive
  std::array<char, 3> MethodId{};      // "NON", "RLE", "LZH", "CUS" or custom; no terminator
  int32_t TotalSize = 0;               // sum of the ExpandedSize of all entries
  uint8_t ArchiveType = 0;             // caFileSet
  std::array<uint8_t, 8> Reserved{};   // not interpreted

  bool HasSignature() const noexcept { return Signature == ArchiveSignature; }
  std::string MethodIdString() const { return std::string(MethodId.data(), MethodId.size()); }
};

struct EntryHeader {
  int16_t NameLength = 0;    // bytes of name after the header; negative is malformed
  uint32_t FileDate = 0;     // MS-DOS local date (upper 16 bits) and time (lower 16 bits)
  uint16_t Attributes = 0;   // Windows attribute bits, applied as they stand
  int32_t ExpandedSize = 0;  // bytes of the expanded entry
  int32_t StoredSize = 0;    // bytes of stored data after the name
  uint8_t MethodCode = 0;    // mtNone, mtRLE, mtLZH, mtCustom
  uint32_t Checksum = 0;     // sum of the expanded bytes mod 2^32, plus the key when locked
  int32_t Locked = 0;        // the entry is locked when this is greater than 0
};

ArchiveHeader DecodeArchiveHeader(const ArchiveHeaderBytes& bytes);
ArchiveHeaderBytes EncodeArchiveHeader(const ArchiveHeader& header);
EntryHeader DecodeEntryHeader(const EntryHeaderBytes& bytes);
EntryHeaderBytes EncodeEntryHeader(const EntryHeader& header);

// An archive header with the signature, the given identifier (its first three characters,
// padded with blanks) and caFileSet.
ArchiveHeader MakeArchiveHeader(const std::string& methodId, int32_t totalSize);

// The identifier of a built-in method code ("NON", "RLE", "LZH", "CUS"); "" for any other code.
std::string MethodIdFor(uint8_t methodCode);

}  // namespace expander
