// The resource readers of `quarnel embed` and `--module` on arbitrary files: the PE resource
// directory reader, the ELF resource table reader and the embedded-archive lookup either succeed
// or raise one of the project's exceptions.
#include "platform/exceptions.h"
#include "platform/restable.h"
#include "tools/launcher_resource.h"
#include "tools/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(data, data + size);
  try {
    tools::ReadPeResources(file);
  } catch (const platform::Exception&) {
  }
  platform::ResourceTrailer trailer;
  std::vector<platform::ResourceEntry> entries;
  try {
    platform::ParseResourceTable(file, trailer, entries);
  } catch (const platform::Exception&) {
  }
  try {
    tools::ReadEmbeddedArchive(file);
  } catch (const platform::Exception&) {
  }
  return 0;
}
