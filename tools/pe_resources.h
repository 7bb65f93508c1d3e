// PE resources: reading the resource directory tree of a PE image, laying out a new tree, and
// writing an image whose resource section has been rebuilt.
//
// The tree has three levels, type -> name -> language. Each directory is a 16-byte header
// (NumberOfNamedEntries at +12, NumberOfIdEntries at +14) followed by 8-byte entries, named ones
// first (sorted by name) and then numbered ones (ascending): a name or id (high bit set: offset of
// a string, a u16 length and UTF-16 units) and an offset (high bit set: a subdirectory, else a
// 16-byte data entry with the data's RVA, size and code page). All offsets except the data RVA
// count from the start of the tree. A new tree is laid out as the resource compilers do: all
// directories breadth first, the data entries, the strings, then the data, each blob 8-aligned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// A resource type or name: a number, or a string compared without regard to case.
struct ResourceId {
  bool named = false;   // true: name, false: id
  uint16_t id = 0;      // the number when !named
  std::u16string name;  // the string when named, as stored (compilers store upper case)

  static ResourceId Number(uint16_t id);
  // An ASCII name, stored in upper case as FindResourceA expects.
  static ResourceId Name(const std::string& ascii);
  // Same id, names compared without regard to the case of a-z.
  bool Matches(const ResourceId& other) const;
};

struct PeResource {
  ResourceId type;
  ResourceId name;
  uint16_t language = 0;  // 0 = neutral
  uint32_t codePage = 0;
  std::vector<uint8_t> data;
};

// Every resource of the image in the order of its tree; empty when it has none. EBadImage when
// the tree is damaged (out of bounds, deeper than three levels, far larger than the file).
std::vector<PeResource> ReadPeResources(const std::vector<uint8_t>& file);

// The data of the first resource of the given type and name (any language); false when the image
// has no such resource. Walks only the path to it, so it suits any file given to --module.
bool FindPeResource(const std::vector<uint8_t>& file, const ResourceId& type,
                    const ResourceId& name, std::vector<uint8_t>& data);

// Adds a resource, replacing every language of an existing one of the same type and name.
void SetResource(std::vector<PeResource>& resources, PeResource resource);

// The tree for the resources with its data, laid out for a section that starts at sectionRva.
std::vector<uint8_t> BuildResourceTree(const std::vector<PeResource>& resources,
                                       uint32_t sectionRva);

// A copy of the image that carries exactly these resources. The tree is rebuilt in place when the
// resource section is the last one of the image, otherwise in a new last section ".rsrc"; the
// section header, SizeOfImage, the resource data directory, the symbol table pointer and a set
// checksum are fixed, data after the sections is kept, and a signature is dropped (it would no
// longer match). EBadImage when the image cannot take it.
std::vector<uint8_t> ReplacePeResources(const std::vector<uint8_t>& file,
                                        const std::vector<PeResource>& resources);

}  // namespace tools
