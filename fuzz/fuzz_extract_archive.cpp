// The archive walk on arbitrary bytes, into a fresh temporary folder with the safe-name rules of
// `quarnel extract`: it ends normally or with one of the project's exceptions, and afterwards
// nothing exists beside the target folder in its private parent, and nothing outside it was
// written. Free space is reported as 64 KiB so that no entry expands to more than that.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "expander/quarnel.h"
#include "fuzz_util.h"
#include "tools/safe_names.h"

namespace fs = std::filesystem;

namespace {

// The private parent folder of this process, removed again when the process exits.
class ParentFolder {
 public:
  ParentFolder() : path_(fs::temp_directory_path() / ("quarnel-fuzz-" + std::to_string(getpid()))) {
    fs::create_directories(path_);
  }
  ~ParentFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

const fs::path& Parent() {
  static const ParentFolder parent;
  return parent.Path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path target = Parent() / "t";
  std::error_code ec;
  fs::remove_all(target, ec);
  fs::create_directory(target);

  expander::TQuarnel quarnel;
  quarnel.MakeDirectories = true;
  quarnel.SetTargetPath(target.string() + "/");
  quarnel.FreeSpaceQuery = [](const std::string&) -> int64_t { return 64 * 1024; };
  const std::string prefix = quarnel.TargetPath();
  quarnel.OnCheckFile = [&](std::string& path, codecs::TCProcessMode) {
    tools::CheckEntryName(tools::EntryNameOfPath(path, prefix));
    fuzzutil::Check(path.compare(0, prefix.size(), prefix) == 0, "path below the target");
  };
  platform::TMemoryStream source(std::vector<uint8_t>(data, data + size));
  try {
    quarnel.ExtractArchive(source, nullptr);
  } catch (const platform::Exception&) {
  }
  for (auto& e : fs::directory_iterator(Parent()))
    fuzzutil::Check(e.path() == target, "nothing beside the target folder");
  for (auto& e : fs::recursive_directory_iterator(target)) {
    auto rel = fs::relative(e.path(), target);
    fuzzutil::Check(!rel.empty() && *rel.begin() != "..", "everything inside the target");
  }
  return 0;
}
