// TStringList and the case rules: only a-z fold.
#include "platform/strings.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(StringList, LookupWithoutRegardToCase) {
  TStringList list;
  EXPECT_EQ(list.Add("README.TXT"), 0);
  EXPECT_EQ(list.Add("Setup.exe"), 1);
  EXPECT_EQ(list.Add("setup.EXE"), 2);
  EXPECT_EQ(list.IndexOf("readme.txt"), 0);
  EXPECT_EQ(list.IndexOf("SETUP.EXE"), 1);  // the first of two equal items
  EXPECT_EQ(list.IndexOf("readme.tx"), -1);
  EXPECT_EQ(list.IndexOf(""), -1);
}

TEST(StringList, AssignAndClear) {
  TStringList a, b;
  a.Add("x");
  b.Add("y");
  b.Add("z");
  a.Assign(b);
  ASSERT_EQ(a.Count(), 2);
  EXPECT_EQ(a[0], "y");
  EXPECT_EQ(a[1], "z");
  a.Clear();
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(b.Count(), 2);
}

TEST(CaseRules, OnlyAsciiLettersFold) {
  EXPECT_TRUE(SameText("Fenwold 2.2", "FENWOLD 2.2"));
  EXPECT_FALSE(SameText("\xE4", "\xC4"));  // ä and Ä in Windows-1252 stay distinct
  EXPECT_FALSE(SameText("a", "ab"));
  EXPECT_FALSE(SameText("[", "{"));  // neighbours of the letters do not fold
  EXPECT_EQ(UpperCase("d:\\x\\y.dat \xE4@`{"), "D:\\X\\Y.DAT \xE4@`{");
}

}  // namespace
}  // namespace platform
