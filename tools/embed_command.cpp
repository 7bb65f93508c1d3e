// embed: a launcher that carries an archive as its "MyArchiv" resource.
#include <filesystem>
#include <system_error>

#include "expander/archive_format.h"
#include "expander/quarnel.h"
#include "tools/commands.h"
#include "tools/file_bytes.h"
#include "tools/launcher_resource.h"
#include "tools/output_file.h"
#include "tools/system_path.h"

namespace fs = std::filesystem;

namespace tools {

void EmbedCommand(const Options& options, CommandContext&) {
  std::vector<uint8_t> stub = ReadFileBytes(options.stub);
  std::vector<uint8_t> archive = ReadFileBytes(options.archive);
  // A launcher with something else in place of its archive would only fail when it is run.
  if (archive.size() < static_cast<size_t>(expander::ArchiveHeaderSize) ||
      !std::equal(expander::ArchiveSignature.begin(), expander::ArchiveSignature.end(),
                  archive.begin()))
    throw expander::EInvalidHeader();
  std::vector<uint8_t> launcher = EmbedArchive(stub, archive);
  TOutputFile out(options.output);
  if (!launcher.empty())
    out.Stream().WriteBuffer(launcher.data(), static_cast<int32_t>(launcher.size()));
  out.Commit();
  // The launcher runs like its stub: same permission bits (on POSIX the execute bits matter),
  // and writable by its owner so that it can be embedded into again.
  std::error_code ec;
  fs::perms perms = fs::status(PathFromSystem(options.stub), ec).permissions();
  if (!ec) fs::permissions(PathFromSystem(options.output), perms | fs::perms::owner_write, ec);
}

}  // namespace tools
