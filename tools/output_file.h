// An output file that exists only if the command succeeds: created at once (so that a bad path
// fails early), deleted again when the command ends by an exception. A half-written archive or
// launcher would otherwise look up to date to a build that made it.
#pragma once

#include <memory>
#include <string>

#include "platform/stream.h"

namespace tools {

class TOutputFile {
 public:
  explicit TOutputFile(const std::string& path);
  ~TOutputFile();  // deletes the file unless Commit was called
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  platform::TFileStream& Stream() { return *stream_; }
  // Closes the file and keeps it.
  void Commit();

 private:
  std::string path_;
  std::unique_ptr<platform::TFileStream> stream_;
};

}  // namespace tools
