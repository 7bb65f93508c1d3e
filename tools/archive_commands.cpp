// list, test and extract: the commands that read an archive.
//
// list and test walk the archive themselves with the component's ReadEntryHeader and the same end
// rule as ExtractArchive (a header that cannot be read in full, or the expanded sizes reaching
// TotalSize); test expands each entry with ExpandEntryData into a sink that only counts, so it
// verifies exactly what extract would write. extract is ExtractArchive itself, with the safe
// name rules put in front of it through OnCheckFile.
#include <memory>
#include <string>
#include <vector>

#include "expander/quarnel.h"
#include "platform/exceptions.h"
#include "platform/strings.h"
#include "tools/archive_input.h"
#include "tools/commands.h"
#include "tools/console.h"
#include "tools/listing.h"
#include "tools/progress.h"
#include "tools/safe_names.h"
#include "tools/stdio_stream.h"

namespace tools {
namespace {

// Calls visit(entry, name) for every entry the walk reaches, with source at its stored data;
// visit leaves source at the end of that data.
template <typename Visit>
void WalkEntries(expander::TQuarnel& q, platform::ByteStream& source,
                 const expander::ArchiveHeader& header, Visit visit) {
  uint32_t total = 0;
  expander::EntryHeader entry;
  std::string name;
  while (q.ReadEntryHeader(source, entry, name)) {
    if (static_cast<int32_t>(total) >= header.TotalSize) break;
    visit(entry, name);
    total += static_cast<uint32_t>(entry.ExpandedSize);
  }
}

}  // namespace

void ListCommand(const Options& options, CommandContext& context) {
  std::unique_ptr<platform::ByteStream> source = OpenArchiveInput(options.archive, options.module);
  expander::TQuarnel q;
  expander::ArchiveHeader header = ReadCheckedArchiveHeader(*source);
  WalkEntries(q, *source, header, [&](const expander::EntryHeader& entry, const std::string& name) {
    context.out << FormatListLine(entry, name) << '\n';
    source->Seek(entry.StoredSize, platform::SeekOrigin::soCurrent);
  });
}

void TestCommand(const Options& options, CommandContext& context) {
  std::unique_ptr<platform::ByteStream> source = OpenArchiveInput(options.archive, options.module);
  TProgressBar bar(context.err, context.progress);
  expander::TQuarnel q;
  q.Key = options.key;
  q.OnShowProgress = bar.Handler();
  expander::ArchiveHeader header = ReadCheckedArchiveHeader(*source);
  const std::string methodId = header.MethodIdString();
  q.IdentifyMethod(methodId);
  WalkEntries(q, *source, header, [&](const expander::EntryHeader& entry, const std::string& name) {
    if (!options.unsafePaths) CheckEntryName(name);
    bar.SetLabel(name);
    TCountingSink sink;
    try {
      q.ExpandEntryData(sink, *source, entry.StoredSize, entry.ExpandedSize, entry.Checksum,
                        entry.MethodCode, methodId, entry.Locked > 0);
    } catch (...) {
      bar.Finish();
      throw;
    }
    bar.Finish();
    context.out << "ok " << PrintableName(name) << '\n';
  });
}

void ExtractCommand(const Options& options, CommandContext& context) {
  std::unique_ptr<platform::ByteStream> source = OpenArchiveInput(options.archive, options.module);
  TProgressBar bar(context.err, context.progress);
  expander::TQuarnel q;
  q.MakeDirectories = true;
  q.ExceptionOnFileError = true;
  q.Key = options.key;
  q.OnShowProgress = bar.Handler();
  q.SetTargetPath(options.directory);

  // The component calls OnCheckFile for each entry before anything of it is written. An entry
  // whose handler returned is written completely unless an exception ends the call, so the path
  // of the previous entry counts as written once the next one is checked.
  std::vector<std::string> written;
  std::string pending;
  q.OnCheckFile = [&](std::string& path, codecs::TCProcessMode) {
    if (!pending.empty()) written.push_back(pending);
    pending.clear();
    if (!options.unsafePaths) CheckEntryName(EntryNameOfPath(path, q.TargetPath()));
    bar.SetLabel(path);
    pending = path;
  };

  platform::TStringList names;
  for (const std::string& n : options.names) names.Add(n);
  auto printWritten = [&] {
    bar.Finish();
    for (const std::string& p : written) context.out << PrintableName(DisplayPath(p)) << '\n';
    context.out.flush();
  };
  try {
    q.ExtractArchive(*source, options.names.empty() ? nullptr : &names);
  } catch (const platform::EInOutError& e) {
    // The text of an I/O error ("Dateizugriff verweigert") names no file: name the one that
    // was being written, or the target folder when no entry had been reached.
    printWritten();
    std::string where = pending.empty() ? q.TargetPath() : pending;
    if (where.empty()) where = ".";
    throw platform::Exception(PrintableName(DisplayPath(where)) + ": " + e.what());
  } catch (...) {
    // The files written before the failure stay on disk; say which they are.
    printWritten();
    throw;
  }
  if (!pending.empty()) written.push_back(pending);
  printWritten();
}

}  // namespace tools
