// Module resources with FindResourceA/LoadResource. A named file is loaded as a data file: its
// resources are read without running any of its code.
#include <windows.h>

#include "platform/exceptions.h"
#include "platform/resources.h"

namespace platform {
namespace {

std::vector<uint8_t> ResourceOf(HMODULE module, const std::string& type, const std::string& name) {
  HRSRC info = FindResourceA(module, name.c_str(), type.c_str());
  if (info == nullptr) throw EResNotFound(name);
  HGLOBAL loaded = LoadResource(module, info);
  DWORD size = SizeofResource(module, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) throw EResNotFound(name);
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

// A library loaded for one lookup, released on every way out.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const std::string& name)
      : module_(LoadLibraryExA(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~LoadedLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  HMODULE Module() const { return module_; }

 private:
  HMODULE module_;
};

}  // namespace

std::vector<uint8_t> LoadOwnResource(const std::string& type, const std::string& name) {
  return ResourceOf(GetModuleHandleA(nullptr), type, name);
}

bool LoadLibraryResource(const std::string& libName, const std::string& type,
                         const std::string& name, std::vector<uint8_t>& bytes) {
  LoadedLibrary library(libName);
  if (library.Module() == nullptr) return false;
  bytes = ResourceOf(library.Module(), type, name);
  return true;
}

}  // namespace platform
