// Reading and writing the resource table that restable.h describes.
#include "platform/restable.h"

#include <cstring>

#include "platform/exceptions.h"
#include "platform/le_bytes.h"
#include "platform/strings.h"

namespace platform {
namespace {

constexpr size_t kEntryFixedSize = 12;  // DataOffset, DataSize, TypeLength, NameLength
constexpr uint64_t kLargestEntrySize = kEntryFixedSize + 2 * 0xFFFF;

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  out.resize(out.size() + 4);
  PutLe32(&out[out.size() - 4], v);
}
void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.resize(out.size() + 2);
  PutLe16(&out[out.size() - 2], v);
}

}  // namespace

bool ParseResourceTrailer(const uint8_t* last, uint64_t fileSize, ResourceTrailer& trailer) {
  if (fileSize < kResourceTrailerSize) return false;
  if (std::memcmp(last + 16, kResourceTableMagic, sizeof kResourceTableMagic) != 0) return false;
  if (GetLe32(last + 12) != kResourceTableVersion) return false;
  ResourceTrailer t;
  t.imageEnd = GetLe32(last);
  t.tableOffset = GetLe32(last + 4);
  t.count = GetLe32(last + 8);
  uint64_t tableEnd = fileSize - kResourceTrailerSize;
  if (t.imageEnd > t.tableOffset || t.tableOffset > tableEnd) return false;
  // The table holds exactly its entries: at least the fixed part of each, and no more than
  // each could need with the longest type and name.
  uint64_t tableSize = tableEnd - t.tableOffset;
  if (t.count > tableSize / kEntryFixedSize) return false;
  if (tableSize > static_cast<uint64_t>(t.count) * kLargestEntrySize) return false;
  trailer = t;
  return true;
}

bool ParseResourceEntries(const uint8_t* table, size_t tableSize, const ResourceTrailer& trailer,
                          std::vector<ResourceEntry>& entries) {
  std::vector<ResourceEntry> parsed;
  parsed.reserve(trailer.count);
  size_t at = 0;
  for (uint32_t i = 0; i < trailer.count; ++i) {
    if (tableSize - at < kEntryFixedSize) return false;
    ResourceEntry e;
    e.offset = GetLe32(table + at);
    e.size = GetLe32(table + at + 4);
    size_t typeLength = GetLe16(table + at + 8), nameLength = GetLe16(table + at + 10);
    at += kEntryFixedSize;
    if (tableSize - at < typeLength + nameLength) return false;
    e.type.assign(reinterpret_cast<const char*>(table + at), typeLength);
    e.name.assign(reinterpret_cast<const char*>(table + at + typeLength), nameLength);
    at += typeLength + nameLength;
    if (e.offset < trailer.imageEnd || e.offset > trailer.tableOffset ||
        e.size > trailer.tableOffset - e.offset)
      return false;
    parsed.push_back(std::move(e));
  }
  if (at != tableSize) return false;  // bytes left over: not a table this writer made
  entries = std::move(parsed);
  return true;
}

bool ParseResourceTable(const std::vector<uint8_t>& image, ResourceTrailer& trailer,
                        std::vector<ResourceEntry>& entries) {
  if (image.size() < kResourceTrailerSize) return false;
  ResourceTrailer t;
  if (!ParseResourceTrailer(image.data() + image.size() - kResourceTrailerSize, image.size(), t))
    return false;
  size_t tableSize = image.size() - kResourceTrailerSize - t.tableOffset;
  if (!ParseResourceEntries(image.data() + t.tableOffset, tableSize, t, entries)) return false;
  trailer = t;
  return true;
}

const ResourceEntry* FindResourceEntry(const std::vector<ResourceEntry>& entries,
                                       const std::string& type, const std::string& name) {
  for (const ResourceEntry& e : entries)
    if (SameText(e.type, type) && SameText(e.name, name)) return &e;
  return nullptr;
}

std::vector<uint8_t> WriteResourceTable(const std::vector<uint8_t>& image,
                                        const std::vector<ResourceItem>& resources) {
  // The items to write: the later of two with the same type and name wins.
  std::vector<const ResourceItem*> items;
  for (const ResourceItem& r : resources) {
    if (r.type.size() > 0xFFFF || r.name.size() > 0xFFFF)
      throw Exception("resource type or name too long: " + r.name);
    bool replaced = false;
    for (const ResourceItem*& kept : items)
      if (SameText(kept->type, r.type) && SameText(kept->name, r.name)) {
        kept = &r;
        replaced = true;
      }
    if (!replaced) items.push_back(&r);
  }

  ResourceTrailer old;
  std::vector<ResourceEntry> oldEntries;
  size_t imageEnd = ParseResourceTable(image, old, oldEntries) ? old.imageEnd : image.size();

  uint64_t total = imageEnd + kResourceTrailerSize;
  for (const ResourceItem* r : items)
    total += r->bytes.size() + kEntryFixedSize + r->type.size() + r->name.size();
  if (total > 0xFFFFFFFFu) throw Exception("resource table too large for 32-bit offsets");

  std::vector<uint8_t> out(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(imageEnd));
  out.reserve(static_cast<size_t>(total));
  std::vector<uint32_t> offsets;
  for (const ResourceItem* r : items) {
    offsets.push_back(static_cast<uint32_t>(out.size()));
    out.insert(out.end(), r->bytes.begin(), r->bytes.end());
  }
  uint32_t tableOffset = static_cast<uint32_t>(out.size());
  for (size_t i = 0; i < items.size(); ++i) {
    const ResourceItem& r = *items[i];
    PutU32(out, offsets[i]);
    PutU32(out, static_cast<uint32_t>(r.bytes.size()));
    PutU16(out, static_cast<uint16_t>(r.type.size()));
    PutU16(out, static_cast<uint16_t>(r.name.size()));
    out.insert(out.end(), r.type.begin(), r.type.end());
    out.insert(out.end(), r.name.begin(), r.name.end());
  }
  PutU32(out, static_cast<uint32_t>(imageEnd));
  PutU32(out, tableOffset);
  PutU32(out, static_cast<uint32_t>(items.size()));
  PutU32(out, kResourceTableVersion);
  out.insert(out.end(), kResourceTableMagic, kResourceTableMagic + sizeof kResourceTableMagic);
  return out;
}

}  // namespace platform
