// Folder creation and the free-space measure, on top of the platform's file-system calls.
#include "expander/folders.h"

#include "platform/exceptions.h"
#include "platform/fs.h"

namespace expander {

bool FolderExists(const std::string& Path) {
  const uint32_t attributes = platform::GetFileAttributesOf(Path);
  return attributes != platform::kInvalidFileAttributes &&
         (attributes & platform::kFileAttributeDirectory) != 0;
}

void CreateFolderPath(const std::string& Path) {
  if (Path.empty()) return;
  std::string folder = Path;
  if (platform::IsPathSeparator(folder.back())) folder.pop_back();
  // "D:" and other paths this short are taken as present; so is a short relative first
  // component, which then makes the creation below it fail when it does not exist.
  if (folder.size() < 3 || FolderExists(folder)) return;
  // Parents first: the path up to and including its last delimiter (empty when none). A folder
  // that ends in ":" is its own folder part; its parent is then taken without that ":", or the
  // recursion would never end.
  std::string parent = platform::ExtractFilePath(folder);
  if (parent.size() >= folder.size())
    parent = platform::ExtractFilePath(folder.substr(0, folder.size() - 1));
  CreateFolderPath(parent);
  if (const int error = platform::CreateOneFolder(folder)) throw platform::EInOutError(error);
}

int64_t SpaceAvailable(const std::string& Path) {
  return SpaceAvailable(Path, TFreeSpaceQuery());
}

int64_t SpaceAvailable(const std::string& Path, const TFreeSpaceQuery& freeSpace) {
  // The platform picks the drive: "X:..." measures drive X, any other path the current drive
  // (POSIX: the file system of the nearest existing folder). Drive letters and Windows file
  // names ignore case, so the path is passed as it stands.
  int64_t free = freeSpace ? freeSpace(Path) : platform::FreeSpaceFor(Path);
  if (free < 0) free = -1;
  // The output file replaces a file already there, so its bytes count as room. Opening it for
  // writing is the test that it can be replaced at all.
  if (platform::FileExists(Path)) free += platform::ExistingFileSize(Path);
  return free;
}

}  // namespace expander
