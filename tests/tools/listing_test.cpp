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

}  // namespace
}  // namespace tools
