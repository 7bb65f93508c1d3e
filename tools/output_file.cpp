// Output files that are removed when their command fails.
#include "tools/output_file.h"

#include "platform/fs.h"

namespace tools {

TOutputFile::TOutputFile(const std::string& path)
    : path_(path),
      stream_(std::make_unique<platform::TFileStream>(path, platform::TFileStream::fmCreate)) {}

TOutputFile::~TOutputFile() {
  if (!stream_) return;
  stream_.reset();  // closed first: an open file cannot be deleted on Windows
  platform::DeleteFileAt(path_);
}

void TOutputFile::Commit() {
  stream_.reset();
}

}  // namespace tools
