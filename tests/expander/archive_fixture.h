// Shared pieces of the expander tests: byte helpers, paths in the native form, and archives built
// in memory with the archive writer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "expander/archive_format.h"
#include "platform/stream.h"
#include "tools/archive_writer.h"

namespace expandertest {

inline std::vector<uint8_t> Bytes(const std::string& s) {
  return {s.begin(), s.end()};
}

// An output path as the expander builds it ("\" inside entry names) in the host's own form.
inline std::filesystem::path Native(std::string path) {
  if (std::filesystem::path::preferred_separator == '/')
    for (char& c : path)
      if (c == '\\') c = '/';
  return std::filesystem::path(path);
}

inline std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(Native(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline bool Exists(const std::string& path) {
  return std::filesystem::exists(Native(path));
}

// Sets the current folder (and with it the current drive) for the lifetime of the object.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::filesystem::path& p) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(p);
  }
  ~CurrentFolder() { std::filesystem::current_path(saved_); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::filesystem::path saved_;
};

// 4 June 1997, 16:04:34, the date of the launcher's first entry.
constexpr uint32_t kSampleDate = 0x22C48091;

// One entry of an archive built in memory.
struct Entry {
  std::string name;
  std::vector<uint8_t> data;
  tools::EntryOptions options = {};
};

inline tools::EntryOptions Method(uint8_t method) {
  tools::EntryOptions o;
  o.Method = method;
  o.FileDate = kSampleDate;
  o.Attributes = 0x20;
  return o;
}

// An archive with the given identifier and entries; header fields may be overridden.
inline platform::TMemoryStream MakeArchive(const std::string& methodId,
                                           const std::vector<Entry>& entries,
                                           const tools::ArchiveHeaderOverrides& overrides = {}) {
  platform::TMemoryStream out;
  tools::ArchiveWriter writer(out, methodId, overrides);
  for (const Entry& e : entries) {
    tools::EntryOptions o = e.options;
    if (!o.FileDate) o.FileDate = kSampleDate;
    if (!o.Attributes) o.Attributes = 0x20;
    writer.AddBuffer(e.name, e.data, o);
  }
  writer.Finish();
  return platform::TMemoryStream(std::move(out.Bytes()));
}

}  // namespace expandertest
