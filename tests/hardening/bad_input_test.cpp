// Damaged archives: every truncation point of a valid archive of several entries and methods,
// and every header field set to its extremes. Each run must end normally or with one of the
// project's exceptions, never seek backwards, never read across the end of a record (a header, a
// name or an entry's StoredSize bytes), and write nothing outside its target folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <typeinfo>
#include <vector>

#include "expander/archive_format.h"
#include "expander/quarnel.h"
#include "hardening/probe_streams.h"
#include "support/tempdir.h"
#include "tools/archive_writer.h"
#include "tools/safe_names.h"

namespace {

namespace fs = std::filesystem;
using expander::EntryHeaderSize;
using hardening::RecordingSource;
using hardening::SourceCall;

constexpr uint32_t kDate = 0x22C48091;

std::vector<uint8_t> Text(size_t size, unsigned seed) {
  static const char kWords[] = "the quick brown fox jumps over a lazy dog; ";
  std::vector<uint8_t> out(size);
  for (size_t i = 0; i < size; ++i)
    out[i] = static_cast<uint8_t>(kWords[(i * 7 + seed + (i / 97)) % (sizeof kWords - 1)]);
  return out;
}

struct Entry {
  std::string name;
  uint8_t method;
  std::vector<uint8_t> data;
};

// Stored, RLE, LZH (more than one codec block of output) and stored again.
std::vector<Entry> SampleEntries() {
  std::vector<uint8_t> runs(900, 'x');
  for (size_t i = 0; i < runs.size(); i += 37) runs[i] = static_cast<uint8_t>(i);
  return {{"a.txt", expander::mtNone, Text(300, 1)},
          {"sub\\b.bin", expander::mtRLE, runs},
          {"c.txt", expander::mtLZH, Text(9000, 3)},
          {"d.txt", expander::mtNone, Text(40, 5)}};
}

std::vector<uint8_t> BuildArchive(const std::vector<Entry>& entries,
                                  const tools::ArchiveHeaderOverrides& headerOverrides = {},
                                  size_t overrideEntry = SIZE_MAX,
                                  const tools::EntryHeaderOverrides& entryOverrides = {}) {
  platform::TMemoryStream out;
  tools::ArchiveWriter writer(out, "LZH", headerOverrides);
  for (size_t i = 0; i < entries.size(); ++i) {
    tools::EntryOptions o;
    o.Method = entries[i].method;
    o.FileDate = kDate;
    o.Attributes = 0x20;
    if (i == overrideEntry) o.Override = entryOverrides;
    writer.AddBuffer(entries[i].name, entries[i].data, o);
  }
  writer.Finish();
  return out.Bytes();
}

// A byte range of the archive that one reader call may stay inside.
struct Record {
  int64_t begin, end;
};

int32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | (at + i < b.size() ? b[at + i] : 0);
  return static_cast<int32_t>(v);
}

// The records of an archive, walked by the container rules: the archive header, then per entry
// its header, its name and its stored data, up to the first record that is cut short or
// malformed (its records are still listed, since the reader may ask for them).
std::vector<Record> RecordsOf(const std::vector<uint8_t>& b) {
  std::vector<Record> records{{0, expander::ArchiveHeaderSize}};
  int64_t at = expander::ArchiveHeaderSize;
  const int64_t size = static_cast<int64_t>(b.size());
  while (true) {
    records.push_back({at, at + EntryHeaderSize});
    if (at + EntryHeaderSize > size) break;
    const int16_t nameLength = static_cast<int16_t>(b[at] | b[at + 1] << 8);
    const int32_t expanded = Le32(b, at + 8);
    const int32_t stored = Le32(b, at + 12);
    at += EntryHeaderSize;
    if (nameLength < 0) break;
    records.push_back({at, at + nameLength});
    at += nameLength;
    if (stored < 0 || expanded < 0) break;
    records.push_back({at, at + stored});
    at += stored;  // the next header is asked for even at the end of the bytes
  }
  return records;
}

// Everything the reader asked of the source stays in the rules: the first call goes to the
// start, no seek moves backwards, and every read lies inside one record.
void CheckCalls(const std::vector<SourceCall>& calls, const std::vector<Record>& records,
                const std::string& what) {
  ASSERT_FALSE(calls.empty()) << what;
  EXPECT_EQ(calls[0].kind, SourceCall::kSeek) << what;
  EXPECT_EQ(calls[0].to, 0) << what;
  for (size_t i = 1; i < calls.size(); ++i) {
    const SourceCall& c = calls[i];
    if (c.kind == SourceCall::kSeek) {
      EXPECT_GE(c.to, c.at) << what << ": seek backwards from " << c.at << " to " << c.to;
      continue;
    }
    if (c.count == 0) continue;
    bool inside = false;
    for (const Record& r : records)
      if (c.at >= r.begin && c.at < r.end) {
        inside = c.at + c.count <= r.end;
        break;
      }
    EXPECT_TRUE(inside) << what << ": read of " << c.count << " bytes at " << c.at
                        << " crosses the end of its record";
  }
}

std::vector<uint8_t> ReadAll(const fs::path& p) {
  platform::TFileStream f(p.string(), platform::TFileStream::fmOpenRead);
  std::vector<uint8_t> out(static_cast<size_t>(fs::file_size(p)));
  if (!out.empty()) f.ReadBuffer(out.data(), static_cast<int32_t>(out.size()));
  return out;
}

fs::path PathOf(const fs::path& target, std::string name) {
  for (char& c : name)
    if (c == '\\') c = static_cast<char>(fs::path::preferred_separator);
  return target / name;
}

// What one walk over damaged bytes ended with.
struct Outcome {
  bool normal = false;
  std::string exception;  // the class, when it raised
  std::string message;
};

// Walks the archive into a fresh target folder below parent, with the safe-name rules of
// `quarnel extract`, a free-space figure of 1 MiB and every folder created; checks the calls on
// the source and that nothing but the target folder appeared in parent.
class Walk {
 public:
  explicit Walk(const fs::path& parent) : parent_(parent), target_(parent / "t") {}

  Outcome Run(const std::vector<uint8_t>& bytes, const std::string& what) {
    std::error_code ec;
    // Files of the run before may carry the read-only bit, which Windows will not delete.
    for (auto& e : fs::recursive_directory_iterator(target_, ec))
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(target_, ec);
    EXPECT_FALSE(fs::exists(target_)) << what << ": the last run's folder is still there";
    fs::create_directory(target_);
    expander::TQuarnel q;
    q.MakeDirectories = true;
    q.ExceptionOnFileError = true;
    q.SetTargetPath(target_.string() + static_cast<char>(fs::path::preferred_separator));
    q.FreeSpaceQuery = [](const std::string&) -> int64_t { return 1 << 20; };
    const std::string prefix = q.TargetPath();
    q.OnCheckFile = [&](std::string& path, expander::TCProcessMode) {
      tools::CheckEntryName(tools::EntryNameOfPath(path, prefix));
    };
    RecordingSource source(bytes);
    Outcome o;
    try {
      q.ExtractArchive(source, nullptr);
      o.normal = true;
    } catch (const platform::Exception& e) {
      o.exception = typeid(e).name();
      o.message = e.what();
    } catch (const std::exception& e) {
      ADD_FAILURE() << what << ": an exception of no project class: " << e.what();
    }
    CheckCalls(source.Calls(), RecordsOf(bytes), what);
    for (auto& e : fs::directory_iterator(parent_))
      EXPECT_EQ(e.path(), target_) << what << ": written beside the target folder";
    return o;
  }

  // True when the entry's file holds exactly its bytes.
  bool Intact(const Entry& e) const {
    const fs::path p = PathOf(target_, e.name);
    std::error_code ec;
    return fs::is_regular_file(p, ec) && ReadAll(p) == e.data;
  }

  // The target folder as TargetPath holds it.
  std::string Target() const {
    return target_.string() + static_cast<char>(fs::path::preferred_separator);
  }

  bool Exists(const Entry& e) const {
    std::error_code ec;
    return fs::exists(PathOf(target_, e.name), ec);
  }

 private:
  fs::path parent_, target_;
};

TEST(BadInput, EveryTruncationPoint) {
  const std::vector<Entry> entries = SampleEntries();
  const std::vector<uint8_t> archive = BuildArchive(entries);

  // Where each entry's header and data begin and its data ends.
  struct Span {
    size_t header, data, end;
  };
  std::vector<Span> spans;
  size_t at = expander::ArchiveHeaderSize;
  for (const Entry& e : entries) {
    const size_t stored = static_cast<size_t>(Le32(archive, at + 12));
    const size_t data = at + EntryHeaderSize + e.name.size();
    spans.push_back({at, data, data + stored});
    at = data + stored;
  }
  ASSERT_EQ(at, archive.size());

  testsupport::TempDir dir;
  Walk walk(dir.Path());
  for (size_t cut = 0; cut <= archive.size(); ++cut) {
    const std::string what = "cut at " + std::to_string(cut);
    const Outcome o = walk.Run(std::vector<uint8_t>(archive.begin(), archive.begin() + cut), what);
    if (cut < expander::ArchiveHeaderSize) {
      EXPECT_EQ(o.message, "Can't recognize compressed file header") << what;
      continue;
    }
    // The entry the cut falls in; entries before it are complete on disk.
    size_t hit = 0;
    while (hit < spans.size() && cut >= spans[hit].end) ++hit;
    for (size_t i = 0; i < hit; ++i) EXPECT_TRUE(walk.Intact(entries[i])) << what << ", " << i;
    if (hit == spans.size()) {
      EXPECT_TRUE(o.normal) << what << ": " << o.message;
      continue;
    }
    if (cut < spans[hit].data) {
      // Header or name cut short: a quiet end, before the entry's file is made.
      EXPECT_TRUE(o.normal) << what << ": " << o.message;
      EXPECT_FALSE(walk.Exists(entries[hit])) << what;
    } else if (entries[hit].method == expander::mtNone) {
      EXPECT_EQ(o.message, "Stream-Read-Fehler ") << what;
    } else {
      // A coded entry cut short fails, unless only bits the decoder never needs were lost.
      EXPECT_TRUE(!o.normal || walk.Intact(entries[hit])) << what;
    }
  }
}

TEST(BadInput, HeaderFieldsAtTheirExtremes) {
  const std::vector<Entry> entries = SampleEntries();
  const int32_t extremes[] = {0, -1, 0x7FFFFFFF, INT32_MIN, 1};
  testsupport::TempDir dir;
  Walk walk(dir.Path());

  for (int32_t v : extremes) {
    tools::ArchiveHeaderOverrides h;
    h.TotalSize = v;
    const std::string what = "TotalSize " + std::to_string(v);
    const Outcome o = walk.Run(BuildArchive(entries, h), what);
    EXPECT_TRUE(o.normal) << what << ": " << o.message;
    // The walk ends once the total reaches TotalSize; a first entry is written only when
    // TotalSize is above 0.
    EXPECT_EQ(walk.Intact(entries[0]), v > 0) << what;
    EXPECT_EQ(walk.Intact(entries[3]), v == 0x7FFFFFFF) << what;
  }

  // Each field of an entry header, on the first entry and on the LZH entry.
  using Set = void (*)(tools::EntryHeaderOverrides&, int32_t);
  struct Field {
    const char* name;
    Set set;
    std::vector<int32_t> values;
  };
  const std::vector<int32_t> all(std::begin(extremes), std::end(extremes));
  const Field fields[] = {
      {"NameLength",
       [](tools::EntryHeaderOverrides& o, int32_t v) { o.NameLength = static_cast<int16_t>(v); },
       {0, -1, 32767, -32768, 1}},
      {"FileDate",
       [](tools::EntryHeaderOverrides& o, int32_t v) { o.FileDate = static_cast<uint32_t>(v); },
       all},
      {"Attributes",
       [](tools::EntryHeaderOverrides& o, int32_t v) { o.Attributes = static_cast<uint16_t>(v); },
       {0, -1, 0x7FFF, 0x8000, 0x10}},
      {"ExpandedSize", [](tools::EntryHeaderOverrides& o, int32_t v) { o.ExpandedSize = v; }, all},
      {"StoredSize", [](tools::EntryHeaderOverrides& o, int32_t v) { o.StoredSize = v; }, all},
      {"MethodCode",
       [](tools::EntryHeaderOverrides& o, int32_t v) { o.MethodCode = static_cast<uint8_t>(v); },
       {0, -1, 0x7F, 0x80, 1, 2, 3, 4}},
      {"Checksum",
       [](tools::EntryHeaderOverrides& o, int32_t v) { o.Checksum = static_cast<uint32_t>(v); },
       all},
      {"Locked", [](tools::EntryHeaderOverrides& o, int32_t v) { o.Locked = v; }, all},
  };
  // The ends that the format's rules fix; every other case need only end in one of the two ways.
  const std::map<std::string, std::string> kPinned = {
      {"NameLength -1 on entry 0", "normal"},
      {"NameLength 32767 on entry 2", "normal"},  // the name runs past the end of the bytes
      {"ExpandedSize -1 on entry 2", "normal"},
      {"StoredSize -2147483648 on entry 0", "normal"},
      {"ExpandedSize 2147483647 on entry 2",
       "Not enough disk space to expand " + walk.Target() + "c.txt"},
      {"StoredSize 2147483647 on entry 0", "Stream-Read-Fehler "},
      {"StoredSize 0 on entry 2", "Bad checksum during expansion -- data may be invalid"},
      {"Checksum -1 on entry 2", "Bad checksum during expansion -- data may be invalid"},
      {"Checksum -1 on entry 0", "normal"},  // stored entries are not verified
      {"Locked 1 on entry 0", "File locked -- valid key required"},
      {"Locked -2147483648 on entry 2", "normal"},
      {"MethodCode 4 on entry 0", "Bad checksum during expansion -- data may be invalid"},
  };
  size_t pinnedSeen = 0;
  for (const Field& f : fields)
    for (size_t entry : {size_t{0}, size_t{2}})
      for (int32_t v : f.values) {
        tools::EntryHeaderOverrides o;
        f.set(o, v);
        const std::string what =
            std::string(f.name) + " " + std::to_string(v) + " on entry " + std::to_string(entry);
        const Outcome out = walk.Run(BuildArchive(entries, {}, entry, o), what);
        for (size_t i = 0; i < entry; ++i)
          EXPECT_TRUE(walk.Intact(entries[i])) << what << ", entry " << i;
        const auto pinned = kPinned.find(what);
        if (pinned != kPinned.end()) {
          EXPECT_EQ(out.normal ? "normal" : out.message, pinned->second) << what;
          ++pinnedSeen;
        }
        if (!out.normal) {
          EXPECT_FALSE(out.message.empty()) << what << ": " << out.exception;
        }
        // A locked entry that fails its check leaves no file behind.
        if (out.message == "File locked -- valid key required") {
          EXPECT_FALSE(walk.Exists(entries[entry])) << what;
        }
      }
  EXPECT_EQ(pinnedSeen, kPinned.size());
}

}  // namespace
