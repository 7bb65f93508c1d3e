// embed: a launcher that carries an archive as its "MyArchiv" resource.
#include <filesystem>
#include <system_error>

#include "expander/archive_format.h"
#include "expander/quarnel.h"
#include "platform/exceptions.h"
#include "platform/fs.h"
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
  // The launcher runs like its stub: same permission bits (on POSIX the execute bits matter),
  // and writable by its owner so that it can be embedded into again.
  std::error_code permsError;
  const fs::perms perms = fs::status(PathFromSystem(options.stub), permsError).permissions();

  // Replacing the archive of a launcher in place: the new file is written beside it and only then
  // takes its place, so that a failed write cannot destroy the launcher.
  std::error_code ec;
  const fs::path outPath = PathFromSystem(options.output);
  const bool inPlace = fs::equivalent(PathFromSystem(options.stub), outPath, ec);
  const std::string written = inPlace ? options.output + ".part" : options.output;
  TOutputFile out(written);
  if (!launcher.empty())
    out.Stream().WriteBuffer(launcher.data(), static_cast<int32_t>(launcher.size()));
  out.Commit();
  if (inPlace) {
    fs::rename(PathFromSystem(written), outPath, ec);
    if (ec) {
      platform::DeleteFileAt(written);
      throw platform::Exception("cannot replace " + options.output + ": " + ec.message());
    }
  }
  if (!permsError) fs::permissions(outPath, perms | fs::perms::owner_write, ec);
}

}  // namespace tools
