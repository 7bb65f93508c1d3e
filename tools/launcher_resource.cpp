// Embedding and reading the launcher's archive resource in PE and ELF files.
#include "tools/launcher_resource.h"

#include "platform/exceptions.h"
#include "platform/restable.h"
#include "tools/pe_resources.h"

namespace tools {
namespace {

const char kResourceType[] = "TQUARNEL";
// Resource compilers store names in upper case; lookups ignore the case anyway.
const char kResourceName[] = "MYARCHIV";
// The name the launcher asks for, as its error messages show it.
const char kLookupName[] = "MyArchiv";

std::vector<uint8_t> EmbedInPe(const std::vector<uint8_t>& stub,
                               const std::vector<uint8_t>& archive) {
  std::vector<PeResource> resources = ReadPeResources(stub);
  PeResource r;
  r.type = ResourceId::Name(kResourceType);
  r.name = ResourceId::Name(kResourceName);
  // A replaced archive keeps its language; a new one is language neutral.
  for (const PeResource& old : resources)
    if (old.type.Matches(r.type) && old.name.Matches(r.name)) {
      r.language = old.language;
      r.codePage = old.codePage;
      break;
    }
  r.data = archive;
  SetResource(resources, std::move(r));
  return ReplacePeResources(stub, resources);
}

std::vector<uint8_t> EmbedInElf(const std::vector<uint8_t>& stub,
                                const std::vector<uint8_t>& archive) {
  std::vector<platform::ResourceItem> items;
  platform::ResourceTrailer trailer;
  std::vector<platform::ResourceEntry> entries;
  if (platform::ParseResourceTable(stub, trailer, entries)) {
    for (const auto& e : entries)
      items.push_back(
          {e.type, e.name,
           std::vector<uint8_t>(stub.begin() + e.offset, stub.begin() + e.offset + e.size)});
  }
  // The table keeps the later of two items with the same type and name: this one.
  items.push_back({kResourceType, kResourceName, archive});
  return platform::WriteResourceTable(stub, items);
}

}  // namespace

ExecutableFormat DetectExecutableFormat(const std::vector<uint8_t>& file) {
  if (file.size() >= 2 && file[0] == 'M' && file[1] == 'Z') return ExecutableFormat::kPe;
  if (file.size() >= 4 && file[0] == 0x7F && file[1] == 'E' && file[2] == 'L' && file[3] == 'F')
    return ExecutableFormat::kElf;
  return ExecutableFormat::kOther;
}

std::vector<uint8_t> EmbedArchive(const std::vector<uint8_t>& stub,
                                  const std::vector<uint8_t>& archive) {
  switch (DetectExecutableFormat(stub)) {
    case ExecutableFormat::kPe:
      return EmbedInPe(stub, archive);
    case ExecutableFormat::kElf:
      return EmbedInElf(stub, archive);
    case ExecutableFormat::kOther:
      break;
  }
  throw platform::Exception("the stub is neither a Windows (PE) nor a Linux (ELF) executable");
}

std::vector<uint8_t> ReadEmbeddedArchive(const std::vector<uint8_t>& launcher) {
  std::vector<uint8_t> data;
  switch (DetectExecutableFormat(launcher)) {
    case ExecutableFormat::kPe:
      if (FindPeResource(launcher, ResourceId::Name(kResourceType), ResourceId::Name(kResourceName),
                         data))
        return data;
      break;
    case ExecutableFormat::kElf: {
      platform::ResourceTrailer trailer;
      std::vector<platform::ResourceEntry> entries;
      if (platform::ParseResourceTable(launcher, trailer, entries)) {
        if (const auto* e = platform::FindResourceEntry(entries, kResourceType, kLookupName))
          return std::vector<uint8_t>(launcher.begin() + e->offset,
                                      launcher.begin() + e->offset + e->size);
      }
      break;
    }
    case ExecutableFormat::kOther:
      throw platform::Exception(
          "the module is neither a Windows (PE) nor a Linux (ELF) executable");
  }
  throw platform::EResNotFound(kLookupName);
}

}  // namespace tools
