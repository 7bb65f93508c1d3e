// Target folders and free space: the path operations the expander runs before it creates an
// output file. CreateFolderPath makes the missing folders of a path, top down; SpaceAvailable
// measures the room for a file at a path, counting a file that is already there and would be
// replaced.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace expander {

// Free bytes for writing at a path, or -1 when they cannot be determined. The default is the
// file system's own figure (platform::FreeSpaceFor); tests put a fixed figure in its place.
using TFreeSpaceQuery = std::function<int64_t(const std::string& path)>;

// True when Path names an existing folder.
bool FolderExists(const std::string& Path);

// Makes sure the folder Path and all its missing parents exist. A path that is shorter than 3
// characters once a trailing separator is cut (a drive root such as "D:") counts as present.
// EInOutError with the system's code when a folder cannot be created.
void CreateFolderPath(const std::string& Path);

// Free bytes of the drive (file system) of Path plus the size of a file already at Path; -1 plus
// that size when the free space is unknown. EInOutError when the existing file cannot be opened
// for reading and writing, measured or closed (a read-only file, for one).
int64_t SpaceAvailable(const std::string& Path);
int64_t SpaceAvailable(const std::string& Path, const TFreeSpaceQuery& freeSpace);

}  // namespace expander
