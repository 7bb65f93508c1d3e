// Failures from outside the archive: a destination that takes only part of the bytes, a source
// that ends early, a real full file system, a read-only folder and file, and allocations that
// fail. Each ends in the exception and message of its kind, and the files written before stay
// as they were.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "expander/archive_format.h"
#include "expander/quarnel.h"
#include "hardening/alloc_failure.h"
#include "hardening/probe_streams.h"
#include "platform/fs.h"
#include "support/tempdir.h"
#include "tools/archive_writer.h"

#ifdef __linux__
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

constexpr char kWriteError[] = "Stream-Write-Fehler ";
constexpr char kReadError[] = "Stream-Read-Fehler ";
constexpr char kOutOfMemory[] = "Speicher reicht nicht aus";

std::vector<uint8_t> Text(size_t size) {
  static const char kWords[] = "no space left on the device, said the disk to the file. ";
  std::vector<uint8_t> out(size);
  for (size_t i = 0; i < size; ++i)
    out[i] = static_cast<uint8_t>(kWords[(i + i / 251) % (sizeof kWords - 1)]);
  return out;
}

// Pseudo-random bytes that no codec shrinks much.
std::vector<uint8_t> Noise(size_t size) {
  std::vector<uint8_t> out(size);
  uint32_t x = 2463534242u;
  for (auto& b : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x);
  }
  return out;
}

struct Entry {
  std::string name;
  uint8_t method;
  std::vector<uint8_t> data;
};

std::vector<uint8_t> BuildArchive(const std::vector<Entry>& entries,
                                  std::vector<expander::EntryHeader>* headers = nullptr) {
  platform::TMemoryStream out;
  tools::ArchiveWriter writer(out, "LZH");
  for (const Entry& e : entries) {
    tools::EntryOptions o;
    o.Method = e.method;
    o.FileDate = 0x22C48091;
    o.Attributes = 0x20;
    expander::EntryHeader h = writer.AddBuffer(e.name, e.data, o);
    if (headers) headers->push_back(h);
  }
  writer.Finish();
  return out.Bytes();
}

std::vector<uint8_t> ReadAll(const fs::path& p) {
  platform::TFileStream f(p.string(), platform::TFileStream::fmOpenRead);
  std::vector<uint8_t> out(static_cast<size_t>(fs::file_size(p)));
  if (!out.empty()) f.ReadBuffer(out.data(), static_cast<int32_t>(out.size()));
  return out;
}

bool IsPrefix(const std::vector<uint8_t>& part, const std::vector<uint8_t>& whole) {
  return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

std::string Folder(const fs::path& p) {
  return p.string() + static_cast<char>(fs::path::preferred_separator);
}

// Runs ExtractArchive and gives back the message of the project exception it raised, or
// "normal" when it returned.
std::string Extract(expander::TQuarnel& q, const std::vector<uint8_t>& archive) {
  platform::TMemoryStream source(archive);
  try {
    q.ExtractArchive(source, nullptr);
    return "normal";
  } catch (const platform::Exception& e) {
    return e.what();
  }
}

TEST(FaultInjection, DestinationThatTakesOnlyPartOfTheBytes) {
  const std::vector<uint8_t> data = Text(20000);
  for (uint8_t method : {expander::mtNone, expander::mtRLE, expander::mtLZH}) {
    std::vector<expander::EntryHeader> headers;
    const std::vector<uint8_t> archive = BuildArchive({{"f.txt", method, data}}, &headers);
    const expander::EntryHeader& h = headers[0];
    for (size_t limit : {size_t{0}, size_t{1}, size_t{8191}, size_t{8192}, size_t{19999}}) {
      const std::string what =
          "method " + std::to_string(method) + ", " + std::to_string(limit) + " bytes taken";
      platform::TMemoryStream source(archive);
      source.Seek(expander::ArchiveHeaderSize + expander::EntryHeaderSize + 5,
                  platform::SeekOrigin::soBeginning);
      hardening::LimitedStream dest(limit);
      expander::TQuarnel q;
      try {
        q.ExpandEntryData(dest, source, h.StoredSize, h.ExpandedSize, h.Checksum, h.MethodCode,
                          "LZH", false);
        ADD_FAILURE() << what << ": no exception";
      } catch (const platform::EWriteError& e) {
        EXPECT_STREQ(e.what(), kWriteError) << what;
      }
      // What was taken is the start of the entry, never more than the destination took.
      EXPECT_LE(dest.Bytes().size(), limit) << what;
      EXPECT_TRUE(IsPrefix(dest.Bytes(), data)) << what;
    }
  }
}

TEST(FaultInjection, StoredEntryEndsEarly) {
  const std::vector<Entry> entries = {{"a.txt", expander::mtNone, Text(1000)},
                                      {"b.txt", expander::mtNone, Text(30000)}};
  std::vector<uint8_t> archive = BuildArchive(entries);
  archive.resize(archive.size() - 12000);  // b.txt loses its last 12000 bytes
  testsupport::TempDir dir;
  expander::TQuarnel q;
  q.SetTargetPath(dir.Folder());
  EXPECT_EQ(Extract(q, archive), kReadError);
  EXPECT_EQ(ReadAll(dir.Path() / "a.txt"), entries[0].data);
  const std::vector<uint8_t> kept = ReadAll(dir.Path() / "b.txt");
  EXPECT_TRUE(IsPrefix(kept, entries[1].data));
  EXPECT_LE(kept.size(), entries[1].data.size() - 12000);
}

TEST(FaultInjection, AllocationFailures) {
  // Every non-throwing allocation of an LZH and an RLE entry's expansion fails in turn; the
  // first entry stays as written, the failed one is left empty, nothing leaks.
  for (uint8_t method : {expander::mtRLE, expander::mtLZH}) {
    const std::vector<Entry> entries = {{"a.txt", expander::mtNone, Text(500)},
                                        {"b.txt", method, Text(20000)}};
    const std::vector<uint8_t> archive = BuildArchive(entries);
    int failures = 0;
    for (int n = 1; n < 20; ++n) {
      const std::string what =
          "method " + std::to_string(method) + ", allocation " + std::to_string(n);
      testsupport::TempDir dir;
      expander::TQuarnel q;
      q.SetTargetPath(dir.Folder());
      q.OnCheckFile = [&](std::string& path, expander::TCProcessMode) {
        if (path == dir.Folder() + "b.txt") hardening::FailNothrowAllocation(n);
      };
      const std::string result = Extract(q, archive);
      const bool unused = hardening::NothrowFailurePending();
      hardening::FailNothrowAllocation(0);
      if (unused) {
        // Fewer allocations than n: the run had nothing to fail and must have succeeded.
        EXPECT_EQ(result, "normal") << what;
        EXPECT_EQ(ReadAll(dir.Path() / "b.txt"), entries[1].data) << what;
        break;
      }
      ++failures;
      EXPECT_EQ(result, kOutOfMemory) << what;
      EXPECT_EQ(ReadAll(dir.Path() / "a.txt"), entries[0].data) << what;
      EXPECT_TRUE(ReadAll(dir.Path() / "b.txt").empty()) << what;
    }
    EXPECT_GT(failures, 0) << "method " << int(method) << " allocates nothing that can fail";
  }
}

#ifdef __linux__

// A tmpfs of a given size mounted on a folder for the lifetime of the object; Why() tells why
// not when the machine does not allow it (not root, no mount rights in a container).
class TmpfsMount {
 public:
  TmpfsMount(const fs::path& dir, size_t bytes)
      : dir_(dir), options_("size=" + std::to_string(bytes) + ",mode=0755") {
    if (geteuid() != 0) {
      why_ = "a tmpfs mount needs root";
      return;
    }
    if (mount("tmpfs", dir_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options_.c_str()) != 0) {
      why_ = std::string("tmpfs mount refused: ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
  }
  ~TmpfsMount() {
    if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
  }
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Why() const { return why_; }

  // Mounts it again read-only: nothing below it can then be created or changed, also by root.
  bool MakeReadOnly() {
    return mount("tmpfs", dir_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV,
                 options_.c_str()) == 0;
  }

 private:
  fs::path dir_;
  std::string options_;
  bool mounted_ = false;
  std::string why_;
};

TEST(FaultInjection, FullFileSystem) {
  testsupport::TempDir dir;
  const fs::path small = dir.Path() / "small";
  fs::create_directory(small);
  TmpfsMount disk(small, 128 * 1024);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Why();

  const std::vector<Entry> entries = {{"a.txt", expander::mtNone, Text(20000)},
                                      {"b.bin", expander::mtNone, Noise(400000)},
                                      {"c.bin", expander::mtLZH, Noise(400000)}};
  const std::vector<uint8_t> archive = BuildArchive(entries);

  // The free-space test refuses b.bin, which does not fit.
  {
    expander::TQuarnel q;
    q.SetTargetPath(Folder(small));
    EXPECT_EQ(Extract(q, archive), "Not enough disk space to expand " + Folder(small) + "b.bin");
    EXPECT_EQ(ReadAll(small / "a.txt"), entries[0].data);
    EXPECT_FALSE(fs::exists(small / "b.bin"));
  }
  // A free-space figure that promises too much (another program filling the disk meanwhile):
  // the write itself fails, for a plain copy and for the codec frame.
  for (const char* name : {"b.bin", "c.bin"}) {
    for (auto& e : fs::directory_iterator(small)) fs::remove(e.path());
    expander::TQuarnel q;
    q.SetTargetPath(Folder(small));
    q.FreeSpaceQuery = [](const std::string&) -> int64_t { return int64_t{1} << 40; };
    q.OnCheckFile = [&](std::string& path, expander::TCProcessMode) {
      if (path != Folder(small) + "a.txt" && path != Folder(small) + name) path.clear();
    };
    EXPECT_EQ(Extract(q, archive), kWriteError) << name;
    EXPECT_EQ(ReadAll(small / "a.txt"), entries[0].data) << name;
    const std::vector<uint8_t> kept = ReadAll(small / name);
    EXPECT_TRUE(IsPrefix(kept, name[0] == 'b' ? entries[1].data : entries[2].data)) << name;
  }
}

// A folder that takes no new files and an existing file that cannot be changed: as root, a
// read-only mount; otherwise the permission bits.
TEST(FaultInjection, ReadOnlyFolderAndFile) {
  testsupport::TempDir dir;
  const fs::path locked = dir.Path() / "locked";
  fs::create_directory(locked);
  const std::vector<uint8_t> before = Text(700);
  std::unique_ptr<TmpfsMount> disk;
  if (geteuid() == 0) {
    disk = std::make_unique<TmpfsMount>(locked, 1 << 20);
    if (!disk->Mounted()) GTEST_SKIP() << disk->Why();
  }
  {
    platform::TFileStream f((locked / "keep.txt").string(), platform::TFileStream::fmCreate);
    f.WriteBuffer(before.data(), static_cast<int32_t>(before.size()));
  }
  if (disk) {
    if (!disk->MakeReadOnly())
      GTEST_SKIP() << "read-only remount refused: " << std::strerror(errno);
  } else {
    // The folder's bits keep new files out; the file's own bits keep it from being changed.
    fs::permissions(locked / "keep.txt", fs::perms::owner_read);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  }

  const std::vector<Entry> entries = {{"first.txt", expander::mtNone, Text(300)},
                                      {"keep.txt", expander::mtNone, Text(100)},
                                      {"new.txt", expander::mtRLE, Text(100)},
                                      {"sub\\x.txt", expander::mtNone, Text(100)}};
  const std::vector<uint8_t> archive = BuildArchive(entries);
  const fs::path writable = dir.Path() / "out";
  fs::create_directory(writable);

  struct Case {
    const char* entry;  // the one entry sent into the locked folder
    bool makeDirectories, exceptionOnFileError;
    const char* result;  // "" for the I/O error of the folder functions
  };
  const std::string newPath = Folder(locked) + "new.txt";
  const Case cases[] = {
      {"keep.txt", false, true, ""},  // the space test cannot open it for its size
      {"new.txt", false, true, nullptr},
      {"new.txt", false, false, "normal"},  // skipped
      {"sub\\x.txt", true, true, ""},       // the folder cannot be made
  };
  for (const Case& c : cases) {
    for (auto& e : fs::directory_iterator(writable)) fs::remove_all(e.path());
    expander::TQuarnel q;
    q.SetTargetPath(Folder(writable));
    q.MakeDirectories = c.makeDirectories;
    q.ExceptionOnFileError = c.exceptionOnFileError;
    q.OnCheckFile = [&](std::string& path, expander::TCProcessMode) {
      const std::string name = path.substr(Folder(writable).size());
      if (name == c.entry)
        path = Folder(locked) + name;
      else if (name != "first.txt")
        path.clear();
    };
    platform::TMemoryStream source(archive);
    std::string result = "normal";
    try {
      q.ExtractArchive(source, nullptr);
    } catch (const platform::EInOutError& e) {
      result = "";
      EXPECT_EQ(e.what(), platform::EInOutError::TextFor(e.ErrorCode())) << c.entry;
    } catch (const platform::Exception& e) {
      result = e.what();
    }
    const std::string expected =
        c.result ? c.result : "Datei " + newPath + " kann nicht erstellt werden";
    EXPECT_EQ(result, expected) << c.entry;
    EXPECT_EQ(ReadAll(writable / "first.txt"), entries[0].data) << c.entry;
    EXPECT_EQ(ReadAll(locked / "keep.txt"), before) << c.entry;
    EXPECT_FALSE(fs::exists(locked / "new.txt")) << c.entry;
    EXPECT_FALSE(fs::exists(locked / "sub")) << c.entry;
  }
  if (!disk) fs::permissions(locked, fs::perms::owner_all);
}

#endif  // __linux__

}  // namespace
