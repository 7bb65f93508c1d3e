// The line `quarnel list` prints for an entry.
#include "tools/listing.h"

#include <gtest/gtest.h>

namespace tools {
namespace {

TEST(ListLine, ColumnsOfAnEntry) {
  expander::EntryHeader e;
  e.FileDate = 0x22C48091;  // 4 June 1997, 16:04:34
  e.Attributes = 0x20;
  e.ExpandedSize = 486;
  e.StoredSize = 271;
  e.MethodCode = expander::mtLZH;
  EXPECT_EQ(FormatListLine(e, "readme.txt"),
            "lzh           486        271  1997-06-04 16:04:34  ---A  -  readme.txt");

  e.Attributes = 0x27;  // read-only, hidden, system, archive
  e.MethodCode = expander::mtNone;
  e.Locked = 1;
  EXPECT_EQ(FormatListLine(e, "sub\\x"),
            "none          486        271  1997-06-04 16:04:34  RHSA  L  sub\\x");

  // Unknown methods are shown by number; a negative Locked is not locked.
  e.MethodCode = 7;
  e.Locked = -5;
  e.Attributes = 0;
  EXPECT_EQ(FormatListLine(e, ""), "m7            486        271  1997-06-04 16:04:34  ----  -  ");
}

TEST(ListLine, ControlCharactersOfANameAreNotPrinted) {
  expander::EntryHeader e;
  e.FileDate = 0x22C48091;
  // A newline would forge a second entry line, an escape would drive the terminal.
  std::string name = std::string("a\nnone 1 1 fake\x1b[2J\x7f") + "\xe4.txt";
  std::string line = FormatListLine(e, name);
  const std::string shown = "  -  a?none 1 1 fake?[2J?\xe4.txt";
  ASSERT_GE(line.size(), shown.size());
  EXPECT_EQ(line.substr(line.size() - shown.size()), shown);
  EXPECT_EQ(PrintableName("sub\\ok.txt"), "sub\\ok.txt");
}

}  // namespace
}  // namespace tools
