// The safe entry-name rules of extract and test.
#include "tools/safe_names.h"

#include <gtest/gtest.h>

namespace tools {
namespace {

TEST(SafeNames, RefusedAndAccepted) {
  struct Case {
    const char* name;
    const char* reason;  // "" for a name that stays below the target folder
  };
  const Case cases[] = {
      {"readme.txt", ""},
      {"sub\\deep\\a.bin", ""},
      {"sub/a.bin", ""},
      {"..a\\b..\\c...d", ""},  // dots inside a component climb nowhere
      {"", ""},                 // the component itself refuses to create the folder as a file
      {"\\x", "its name is rooted"},
      {"/etc/passwd", "its name is rooted"},
      {"C:x", "its name carries a drive letter"},
      {"d:\\x", "its name carries a drive letter"},
      {"..", "its name holds a \"..\" component"},
      {"..\\..\\x", "its name holds a \"..\" component"},
      {"sub\\..\\..\\x", "its name holds a \"..\" component"},
      {"sub/../x", "its name holds a \"..\" component"},
      {"sub\\..", "its name holds a \"..\" component"},
      // Windows trims trailing dots and blanks, so these name the parent folder too.
      {"...\\x", "its name holds a \"..\" component"},
      {".. \\x", "its name holds a \"..\" component"},
  };
  for (const Case& c : cases) EXPECT_EQ(UnsafeNameReason(c.name), c.reason) << c.name;
}

TEST(SafeNames, ExceptionNamesTheEntry) {
  try {
    CheckEntryName("..\\..\\x");
    FAIL() << "no exception";
  } catch (const EUnsafeEntryName& e) {
    EXPECT_EQ(e.Message(),
              "refusing entry '..\\..\\x': its name holds a \"..\" component "
              "(--unsafe-paths allows it)");
  }
  EXPECT_NO_THROW(CheckEntryName("sub\\a.txt"));
}

TEST(SafeNames, EntryNameOfPath) {
  // The component puts TargetPath in front of every name that is not rooted.
  EXPECT_EQ(EntryNameOfPath("out\\sub\\a.txt", "out\\"), "sub\\a.txt");
  EXPECT_EQ(EntryNameOfPath("out\\..\\x", "out\\"), "..\\x");
  EXPECT_EQ(EntryNameOfPath("\\x", "out\\"), "\\x");
  EXPECT_EQ(EntryNameOfPath("a.txt", ""), "a.txt");
  EXPECT_EQ(EntryNameOfPath("\\x", ""), "\\x");
}

}  // namespace
}  // namespace tools
