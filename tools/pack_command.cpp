// pack: an archive of files and folders. Each PATH is taken relative to the base folder (-C DIR,
// by default the current folder); folders are walked depth first with their entries in name
// order; an entry's name is its path below the base folder with "\" separators, so "-C DIR ."
// packs the contents of DIR. Dates and attribute bits come from the files.
#include <algorithm>
#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "expander/archive_format.h"
#include "platform/exceptions.h"
#include "platform/stream.h"
#include "tools/archive_writer.h"
#include "tools/commands.h"
#include "tools/output_file.h"
#include "tools/progress.h"
#include "tools/system_path.h"

namespace fs = std::filesystem;

namespace tools {
namespace {

constexpr size_t kMaxNameLength = 32767;  // NameLength is a signed 16-bit field

struct PackItem {
  std::string path;  // the file to read
  std::string name;  // the entry name
};

[[noreturn]] void Fail(const std::string& message) {
  throw platform::Exception(message);
}

// The entry name for a path below the base folder: its components joined with "\".
std::string EntryName(const fs::path& relative) {
  std::string name;
  for (const fs::path& part : relative) {
    std::string s = SystemFromPath(part);
    if (s.empty() || s == ".") continue;
    if (!name.empty()) name += '\\';
    name += s;
  }
  return name;
}

class Collector {
 public:
  Collector(const fs::path& output, std::vector<PackItem>& items)
      : output_(output), items_(items) {}

  void Add(const fs::path& file, const fs::path& relative) {
    const std::string shown = SystemFromPath(file.lexically_normal());
    std::error_code ec;
    fs::file_status link = fs::symlink_status(file, ec);
    if (ec) Fail("cannot pack '" + shown + "': " + ec.message());
    fs::file_status target = fs::status(file, ec);
    if (fs::is_directory(target)) {
      // A linked folder could lead back up the tree; only real folders are walked.
      if (fs::is_symlink(link)) return;
      std::vector<fs::path> children;
      for (fs::directory_iterator it(file, ec), end; !ec && it != end; it.increment(ec))
        children.push_back(it->path().filename());
      if (ec) Fail("cannot read folder '" + shown + "': " + ec.message());
      std::sort(children.begin(), children.end(), [](const fs::path& a, const fs::path& b) {
        return SystemFromPath(a) < SystemFromPath(b);
      });
      for (const fs::path& child : children) Add(file / child, relative / child);
      return;
    }
    if (!fs::is_regular_file(target)) Fail("cannot pack '" + shown + "': not a file or folder");
    // The archive being written is not packed into itself.
    if (fs::exists(output_) && fs::equivalent(file, output_, ec)) return;
    std::string name = EntryName(relative);
    if (name.size() > kMaxNameLength) Fail("name too long for an archive entry: " + shown);
    uintmax_t size = fs::file_size(file, ec);
    if (!ec && size > static_cast<uintmax_t>(std::numeric_limits<int32_t>::max()))
      Fail("'" + shown + "' is larger than 2147483647 bytes, the most an entry holds");
    if (!names_.insert(name).second) return;  // named twice on the command line
    // TotalSize, the sum of all expanded sizes, is a signed 32-bit field too.
    total_ += ec ? 0 : size;
    if (total_ > static_cast<uintmax_t>(std::numeric_limits<int32_t>::max()))
      Fail("the files add up to more than 2147483647 bytes, the most an archive holds");
    items_.push_back({SystemFromPath(file), name});
  }

 private:
  fs::path output_;
  std::vector<PackItem>& items_;
  std::set<std::string> names_;  // entry names taken so far
  uintmax_t total_ = 0;          // their sizes added up
};

}  // namespace

void PackCommand(const Options& options, CommandContext& context) {
  const fs::path base =
      options.directory.empty() ? fs::path(".") : PathFromSystem(options.directory);
  std::error_code ec;
  if (!fs::is_directory(base, ec)) Fail("not a folder: " + SystemFromPath(base));
  const fs::path absoluteBase = fs::absolute(base, ec).lexically_normal();

  // Every PATH must lie below the base folder: its name is its place there.
  std::vector<std::pair<fs::path, fs::path>> roots;  // file, relative path
  for (const std::string& p : options.names) {
    fs::path given = PathFromSystem(p);
    fs::path file = given.is_absolute() ? given : base / given;
    fs::path relative = fs::absolute(file, ec).lexically_normal().lexically_relative(absoluteBase);
    if (relative.empty() || *relative.begin() == "..")
      Fail("'" + p + "' does not lie below the folder " + SystemFromPath(base));
    if (!fs::exists(file, ec)) Fail("no such file or folder: " + p);
    // Creating the archive would empty a file that is to be packed.
    if (fs::equivalent(file, PathFromSystem(options.archive), ec))
      Fail("the archive " + options.archive + " is one of the files to pack");
    roots.emplace_back(file, relative);
  }

  // The archive is created first, so that the walk can recognise it among the files.
  TOutputFile out(options.archive);
  std::vector<PackItem> items;
  Collector collector(PathFromSystem(options.archive), items);
  for (size_t i = 0; i < roots.size(); ++i) collector.Add(roots[i].first, roots[i].second);

  std::string methodId = expander::MethodIdFor(options.method);
  ArchiveWriter writer(out.Stream(), methodId);
  TProgressBar bar(context.err, context.progress);
  writer.Progress = bar.Handler();
  EntryOptions entryOptions;
  entryOptions.Method = options.method;
  for (const PackItem& item : items) {
    bar.SetLabel(item.name);
    writer.AddFile(item.path, item.name, entryOptions);
  }
  bar.Finish();
  writer.Finish();
  out.Commit();
}

}  // namespace tools
