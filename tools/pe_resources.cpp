// Reading, laying out and replacing the resource tree of a PE image.
#include "tools/pe_resources.h"

#include <algorithm>
#include <map>

#include "tools/le_bytes.h"
#include "tools/pe_image.h"

namespace tools {
namespace {

constexpr uint32_t kHighBit = 0x80000000u;
constexpr size_t kDirectoryHeaderSize = 16;
constexpr size_t kDirectoryEntrySize = 8;
constexpr size_t kDataEntrySize = 16;
// A real tree holds a few dozen resources; these bounds only stop a hostile tree whose
// directories point at each other from multiplying into millions of leaves.
constexpr size_t kMaxEntriesVisited = size_t{1} << 20;
constexpr size_t kMaxResources = 65536;
// IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ, as resource compilers mark .rsrc.
constexpr uint32_t kResourceSectionFlags = 0x40000040u;

uint32_t AlignUp(uint64_t value, uint32_t alignment) {
  uint64_t aligned = (value + alignment - 1) / alignment * alignment;
  if (aligned > 0xFFFFFFFFu) throw EBadImage("image would exceed 4 GiB");
  return static_cast<uint32_t>(aligned);
}

char16_t UpperAscii(char16_t c) {
  return (c >= u'a' && c <= u'z') ? c - (u'a' - u'A') : c;
}

// Reads the tree through RVAs relative to its start, checking every access.
class TreeReader {
 public:
  TreeReader(const std::vector<uint8_t>& file, const PeImage& image, uint32_t base)
      : file_(file), image_(image), base_(base) {}

  size_t At(uint64_t offset, uint32_t length) const {
    size_t at = 0;
    if (offset > 0x7FFFFFFFu ||
        !RvaToOffset(image_, file_.size(), static_cast<uint32_t>(base_ + offset), length, at))
      throw EBadImage("resource directory out of bounds");
    return at;
  }

  // Entries of the directory at offset: (id, offset-with-flag) pairs.
  std::vector<std::pair<ResourceId, uint32_t>> Entries(uint32_t offset) {
    size_t h = At(offset, kDirectoryHeaderSize);
    size_t count = size_t{Get16(file_, h + 12)} + Get16(file_, h + 14);
    visited_ += count;
    if (visited_ > kMaxEntriesVisited) throw EBadImage("resource directory is looped or huge");
    std::vector<std::pair<ResourceId, uint32_t>> entries;
    entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
      size_t e = At(uint64_t{offset} + kDirectoryHeaderSize + i * kDirectoryEntrySize,
                    kDirectoryEntrySize);
      uint32_t nameField = Get32(file_, e);
      entries.emplace_back(Id(nameField), Get32(file_, e + 4));
    }
    return entries;
  }

  ResourceId Id(uint32_t nameField) const {
    ResourceId id;
    if (!(nameField & kHighBit)) {
      id.id = static_cast<uint16_t>(nameField);
      return id;
    }
    id.named = true;
    uint32_t at = nameField & ~kHighBit;
    uint16_t length = Get16(file_, At(at, 2));
    size_t chars = At(uint64_t{at} + 2, 2u * length);
    for (uint16_t i = 0; i < length; ++i)
      id.name += static_cast<char16_t>(Get16(file_, chars + 2 * i));
    return id;
  }

  // The data entry at offset: copies the data into resource.
  void Data(uint32_t offset, PeResource& resource) {
    size_t d = At(offset, kDataEntrySize);
    uint32_t rva = Get32(file_, d);
    uint32_t size = Get32(file_, d + 4);
    resource.codePage = Get32(file_, d + 8);
    dataBytes_ += size;
    if (dataBytes_ > file_.size()) throw EBadImage("resource data larger than the file");
    size_t at = 0;
    if (!RvaToOffset(image_, file_.size(), rva, size, at))
      throw EBadImage("resource data out of bounds");
    resource.data.assign(file_.begin() + at, file_.begin() + at + size);
  }

 private:
  const std::vector<uint8_t>& file_;
  const PeImage& image_;
  uint32_t base_;
  size_t visited_ = 0;      // directory entries read so far
  uint64_t dataBytes_ = 0;  // resource data copied so far
};

// Sort order of a directory: named entries first, by their code units, then ids ascending.
bool IdLess(const ResourceId& a, const ResourceId& b) {
  if (a.named != b.named) return a.named;
  if (a.named) return a.name < b.name;
  return a.id < b.id;
}

bool SameKey(const ResourceId& a, const ResourceId& b) {
  return a.named == b.named && (a.named ? a.name == b.name : a.id == b.id);
}

// Writes a tree into out, as the header comment of pe_resources.h describes.
class TreeWriter {
 public:
  std::vector<uint8_t> Build(std::vector<PeResource> resources, uint32_t sectionRva) {
    std::stable_sort(resources.begin(), resources.end(),
                     [](const PeResource& a, const PeResource& b) {
                       if (!SameKey(a.type, b.type)) return IdLess(a.type, b.type);
                       if (!SameKey(a.name, b.name)) return IdLess(a.name, b.name);
                       return a.language < b.language;
                     });
    // Group into types and names: ranges [begin, end) of resources.
    struct NameGroup {
      size_t begin, end;
    };
    struct TypeGroup {
      size_t begin, end;
      std::vector<NameGroup> names;
    };
    std::vector<TypeGroup> types;
    for (size_t i = 0; i < resources.size(); ++i) {
      if (types.empty() || !SameKey(resources[types.back().begin].type, resources[i].type))
        types.push_back({i, i, {}});
      TypeGroup& t = types.back();
      t.end = i + 1;
      if (t.names.empty() || !SameKey(resources[t.names.back().begin].name, resources[i].name))
        t.names.push_back({i, i});
      t.names.back().end = i + 1;
    }

    // Offsets of every part.
    size_t at = DirectorySize(types.size());
    std::vector<size_t> typeDirs, nameDirs;
    for (const TypeGroup& t : types) {
      typeDirs.push_back(at);
      at += DirectorySize(t.names.size());
    }
    for (const TypeGroup& t : types)
      for (const NameGroup& n : t.names) {
        nameDirs.push_back(at);
        at += DirectorySize(n.end - n.begin);
      }
    size_t dataEntries = at;
    at += kDataEntrySize * resources.size();
    std::map<std::u16string, size_t> strings;
    for (const PeResource& r : resources)
      for (const ResourceId* id : {&r.type, &r.name})
        if (id->named && strings.emplace(id->name, at).second) at += 2 + 2 * id->name.size();
    std::vector<size_t> blobs;
    for (const PeResource& r : resources) {
      at = (at + 7) & ~size_t{7};
      blobs.push_back(at);
      at += r.data.size();
    }
    if (at > 0x7FFFFFFFu) throw EBadImage("resources too large");
    out_.assign(at, 0);

    // Directories.
    size_t nameIndex = 0;
    for (size_t ti = 0; ti < types.size(); ++ti) {
      const TypeGroup& t = types[ti];
      WriteEntry(0, ti, resources[t.begin].type, strings, kHighBit | typeDirs[ti]);
      for (size_t ni = 0; ni < t.names.size(); ++ni, ++nameIndex) {
        const NameGroup& n = t.names[ni];
        WriteEntry(typeDirs[ti], ni, resources[n.begin].name, strings,
                   kHighBit | nameDirs[nameIndex]);
        Put16(out_, nameDirs[nameIndex] + 14, static_cast<uint16_t>(n.end - n.begin));
        for (size_t r = n.begin; r < n.end; ++r) {
          size_t e =
              nameDirs[nameIndex] + kDirectoryHeaderSize + (r - n.begin) * kDirectoryEntrySize;
          Put32(out_, e, resources[r].language);
          Put32(out_, e + 4, static_cast<uint32_t>(dataEntries + r * kDataEntrySize));
        }
      }
    }
    // Data entries, strings and data.
    for (size_t r = 0; r < resources.size(); ++r) {
      size_t e = dataEntries + r * kDataEntrySize;
      Put32(out_, e, static_cast<uint32_t>(sectionRva + blobs[r]));
      Put32(out_, e + 4, static_cast<uint32_t>(resources[r].data.size()));
      Put32(out_, e + 8, resources[r].codePage);
      std::copy(resources[r].data.begin(), resources[r].data.end(), out_.begin() + blobs[r]);
    }
    for (const auto& s : strings) {
      Put16(out_, s.second, static_cast<uint16_t>(s.first.size()));
      for (size_t i = 0; i < s.first.size(); ++i)
        Put16(out_, s.second + 2 + 2 * i, static_cast<uint16_t>(s.first[i]));
    }
    return std::move(out_);
  }

 private:
  static size_t DirectorySize(size_t entries) {
    return kDirectoryHeaderSize + entries * kDirectoryEntrySize;
  }

  // Adds one entry to the directory at dir and counts it in the directory header as named
  // (+12) or numbered (+14).
  void WriteEntry(size_t dir, size_t index, const ResourceId& id,
                  const std::map<std::u16string, size_t>& strings, size_t target) {
    size_t e = dir + kDirectoryHeaderSize + index * kDirectoryEntrySize;
    if (id.named) {
      Put32(out_, e, kHighBit | static_cast<uint32_t>(strings.at(id.name)));
      Put16(out_, dir + 12, static_cast<uint16_t>(Get16(out_, dir + 12) + 1));
    } else {
      Put32(out_, e, id.id);
      Put16(out_, dir + 14, static_cast<uint16_t>(Get16(out_, dir + 14) + 1));
    }
    Put32(out_, e + 4, static_cast<uint32_t>(target));
  }

  std::vector<uint8_t> out_;
};

bool ResourceDirectory(const std::vector<uint8_t>& file, const PeImage& image, uint32_t& rva) {
  uint32_t size = 0;
  GetDataDirectory(file, image, kPeDirectoryResource, rva, size);
  return rva != 0;
}

}  // namespace

ResourceId ResourceId::Number(uint16_t id) {
  ResourceId r;
  r.id = id;
  return r;
}

ResourceId ResourceId::Name(const std::string& ascii) {
  ResourceId r;
  r.named = true;
  for (char c : ascii) r.name += UpperAscii(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return r;
}

bool ResourceId::Matches(const ResourceId& other) const {
  if (named != other.named) return false;
  if (!named) return id == other.id;
  if (name.size() != other.name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (UpperAscii(name[i]) != UpperAscii(other.name[i])) return false;
  return true;
}

std::vector<PeResource> ReadPeResources(const std::vector<uint8_t>& file) {
  PeImage image = ParsePeImage(file);
  uint32_t base = 0;
  std::vector<PeResource> resources;
  if (!ResourceDirectory(file, image, base)) return resources;
  TreeReader reader(file, image, base);
  for (const auto& type : reader.Entries(0)) {
    if (!(type.second & kHighBit)) throw EBadImage("resource tree with data at the type level");
    for (const auto& name : reader.Entries(type.second & ~kHighBit)) {
      if (!(name.second & kHighBit)) throw EBadImage("resource tree with data at the name level");
      for (const auto& language : reader.Entries(name.second & ~kHighBit)) {
        if (language.second & kHighBit) throw EBadImage("resource tree deeper than three levels");
        if (resources.size() >= kMaxResources) throw EBadImage("too many resources");
        PeResource r;
        r.type = type.first;
        r.name = name.first;
        r.language = language.first.id;
        reader.Data(language.second, r);
        resources.push_back(std::move(r));
      }
    }
  }
  return resources;
}

bool FindPeResource(const std::vector<uint8_t>& file, const ResourceId& type,
                    const ResourceId& name, std::vector<uint8_t>& data) {
  PeImage image = ParsePeImage(file);
  uint32_t base = 0;
  if (!ResourceDirectory(file, image, base)) return false;
  TreeReader reader(file, image, base);
  for (const auto& t : reader.Entries(0)) {
    if (!t.first.Matches(type) || !(t.second & kHighBit)) continue;
    for (const auto& n : reader.Entries(t.second & ~kHighBit)) {
      if (!n.first.Matches(name) || !(n.second & kHighBit)) continue;
      for (const auto& language : reader.Entries(n.second & ~kHighBit)) {
        if (language.second & kHighBit) continue;
        PeResource r;
        reader.Data(language.second, r);
        data = std::move(r.data);
        return true;
      }
    }
  }
  return false;
}

void SetResource(std::vector<PeResource>& resources, PeResource resource) {
  auto same = [&](const PeResource& r) {
    return r.type.Matches(resource.type) && r.name.Matches(resource.name);
  };
  auto first = std::find_if(resources.begin(), resources.end(), same);
  if (first == resources.end()) {
    resources.push_back(std::move(resource));
    return;
  }
  size_t at = static_cast<size_t>(first - resources.begin());
  resources.erase(std::remove_if(resources.begin(), resources.end(), same), resources.end());
  resources.insert(resources.begin() + static_cast<std::ptrdiff_t>(at), std::move(resource));
}

std::vector<uint8_t> BuildResourceTree(const std::vector<PeResource>& resources,
                                       uint32_t sectionRva) {
  return TreeWriter().Build(resources, sectionRva);
}

std::vector<uint8_t> ReplacePeResources(const std::vector<uint8_t>& file,
                                        const std::vector<PeResource>& resources) {
  PeImage image = ParsePeImage(file);
  if (image.directoryCount <= kPeDirectoryResource) throw EBadImage("no resource data directory");
  if (image.sections.empty()) throw EBadImage("no sections");

  // Where the section data ends in the file; what follows (symbols, other data) is kept.
  uint64_t dataEnd = image.sizeOfHeaders;
  uint64_t firstData = UINT64_MAX;
  uint64_t imageEnd = 0;
  size_t lastByAddress = 0;
  for (size_t i = 0; i < image.sections.size(); ++i) {
    const PeSection& s = image.sections[i];
    if (s.rawSize > 0) {
      dataEnd = std::max<uint64_t>(dataEnd, uint64_t{s.rawPointer} + s.rawSize);
      firstData = std::min<uint64_t>(firstData, s.rawPointer);
    }
    imageEnd = std::max<uint64_t>(imageEnd,
                                  uint64_t{s.virtualAddress} + std::max(s.virtualSize, s.rawSize));
    if (s.virtualAddress >= image.sections[lastByAddress].virtualAddress) lastByAddress = i;
  }
  if (dataEnd > file.size()) throw EBadImage("section data beyond the end of the file");

  uint32_t oldRva = 0, oldSize = 0;
  GetDataDirectory(file, image, kPeDirectoryResource, oldRva, oldSize);
  const PeSection& last = image.sections[lastByAddress];
  bool inPlace = oldRva != 0 && oldRva == last.virtualAddress && last.rawSize > 0 &&
                 uint64_t{last.rawPointer} + last.rawSize == dataEnd;

  std::vector<uint8_t> out;
  size_t header = 0;  // offset of the section header to fill in
  PeSection section;
  if (inPlace) {
    section = last;
    header = image.sectionTable + lastByAddress * kPeSectionHeaderSize;
    out.assign(file.begin(), file.begin() + section.rawPointer);
  } else {
    header = image.sectionTable + image.sections.size() * kPeSectionHeaderSize;
    uint64_t headerEnd = uint64_t{header} + kPeSectionHeaderSize;
    bool room = headerEnd <= image.sizeOfHeaders && headerEnd <= firstData &&
                headerEnd <= file.size() &&
                std::all_of(file.begin() + header, file.begin() + headerEnd,
                            [](uint8_t b) { return b == 0; });
    if (!room || image.sections.size() >= 0xFFFF)
      throw EBadImage("no room for another section header");
    section.name = ".rsrc";
    section.virtualAddress = AlignUp(imageEnd, image.sectionAlignment);
    section.rawPointer = AlignUp(dataEnd, image.fileAlignment);
    section.characteristics = kResourceSectionFlags;
    out.assign(file.begin(), file.begin() + dataEnd);
    out.resize(section.rawPointer, 0);
    Put16(out, image.fileHeader + 2, static_cast<uint16_t>(image.sections.size() + 1));
    // The old tree stays where it is (sections after it cannot move), but under another name:
    // tools that look for the section ".rsrc" by name must find the new one.
    for (size_t i = 0; i < image.sections.size(); ++i)
      if (image.sections[i].name == ".rsrc") {
        static const char kOldName[8] = {'.', 'o', 'l', 'd', 'r', 's', 'r', 'c'};
        std::copy(kOldName, kOldName + 8,
                  out.begin() + image.sectionTable + i * kPeSectionHeaderSize);
      }
  }

  std::vector<uint8_t> tree = BuildResourceTree(resources, section.virtualAddress);
  section.virtualSize = static_cast<uint32_t>(tree.size());
  section.rawSize = AlignUp(tree.size(), image.fileAlignment);
  out.insert(out.end(), tree.begin(), tree.end());
  out.resize(uint64_t{section.rawPointer} + section.rawSize, 0);
  uint64_t newDataEnd = out.size();
  out.insert(out.end(), file.begin() + dataEnd, file.end());

  // The section header.
  for (size_t i = 0; i < 8; ++i) out[header + i] = i < section.name.size() ? section.name[i] : 0;
  Put32(out, header + 8, section.virtualSize);
  Put32(out, header + 12, section.virtualAddress);
  Put32(out, header + 16, section.rawSize);
  Put32(out, header + 20, section.rawPointer);
  Put32(out, header + 36, section.characteristics);

  // The image size, the resource directory, the moved data after the sections.
  uint64_t end =
      std::max<uint64_t>(imageEnd, uint64_t{section.virtualAddress} + section.virtualSize);
  Put32(out, image.SizeOfImageOffset(), AlignUp(end, image.sectionAlignment));
  Put32(out, image.dataDirectories + 8 * kPeDirectoryResource, section.virtualAddress);
  Put32(out, image.dataDirectories + 8 * kPeDirectoryResource + 4, section.virtualSize);
  int64_t shift = static_cast<int64_t>(newDataEnd) - static_cast<int64_t>(dataEnd);
  uint32_t symbols = Get32(out, image.fileHeader + 8);
  if (symbols != 0 && symbols >= dataEnd)
    Put32(out, image.fileHeader + 8, static_cast<uint32_t>(symbols + shift));
  if (image.directoryCount > kPeDirectorySecurity) {
    // A signature covers the old bytes; a stale one would only make the file look tampered with.
    Put32(out, image.dataDirectories + 8 * kPeDirectorySecurity, 0);
    Put32(out, image.dataDirectories + 8 * kPeDirectorySecurity + 4, 0);
  }
  if (Get32(out, image.CheckSumOffset()) != 0)
    Put32(out, image.CheckSumOffset(), ComputePeChecksum(out, image.CheckSumOffset()));
  return out;
}

}  // namespace tools
