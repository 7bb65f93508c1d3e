// The entry-header reader on arbitrary bytes: it reads at most 25 + NameLength bytes, returns
// true only with both in full, never reads with a negative length, and a decoded header encodes
// back to the same 25 bytes.
#include <algorithm>

#include "expander/archive_format.h"
#include "expander/quarnel.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::TMemoryStream source(std::vector<uint8_t>(data, data + size));
  expander::TQuarnel quarnel;
  expander::EntryHeader header;
  std::string name;
  bool ok = quarnel.ReadEntryHeader(source, header, name);
  int64_t pos = source.Position();
  if (ok) {
    fuzzutil::Check(header.NameLength >= 0, "no negative name length accepted");
    fuzzutil::Check(name.size() == static_cast<size_t>(header.NameLength), "full name");
    fuzzutil::Check(pos == expander::EntryHeaderSize + header.NameLength, "exact read");
  }
  fuzzutil::Check(pos <= static_cast<int64_t>(size), "no read past the end");
  if (size >= static_cast<size_t>(expander::EntryHeaderSize)) {
    expander::EntryHeaderBytes bytes;
    std::copy_n(data, bytes.size(), bytes.begin());
    fuzzutil::Check(expander::EncodeEntryHeader(expander::DecodeEntryHeader(bytes)) == bytes,
                    "entry header round trip");
  }
  return 0;
}
