// The quarnel command line on its own: what each accepted line runs with, which lines print a
// message, and which are usage errors with their text.
#include "tools/options.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tools {
namespace {

using Kind = ParseResult::Kind;

std::vector<std::string> Split(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> args;
  for (std::string a; in >> a;) args.push_back(a);
  return args;
}

TEST(OptionsRun, CommandsWithTheirOptions) {
  struct Case {
    const char* line;
    Command command;
    std::string archive, directory, input, output, stub;
    std::vector<std::string> names;
    bool module, unsafe;
    int32_t key, size;
    uint8_t method;
  };
  const Case cases[] = {
      {"list a.zolt", Command::kList, "a.zolt", "", "", "", "", {}, false, false, 0, -1, 2},
      {"list --module pre-setup",
       Command::kList,
       "pre-setup",
       "",
       "",
       "",
       "",
       {},
       true,
       false,
       0,
       -1,
       2},
      {"test --key 7 a.zolt", Command::kTest, "a.zolt", "", "", "", "", {}, false, false, 7, -1, 2},
      // A key is any 32-bit value: negative, unsigned and hexadecimal spellings.
      {"test --key=-1 a", Command::kTest, "a", "", "", "", "", {}, false, false, -1, -1, 2},
      {"test --key 4294967295 a", Command::kTest, "a", "", "", "", "", {}, false, false, -1, -1, 2},
      {"test --key 0x80000000 a",
       Command::kTest,
       "a",
       "",
       "",
       "",
       "",
       {},
       false,
       false,
       INT32_MIN,
       -1,
       2},
      {"test --key 010 a", Command::kTest, "a", "", "", "", "", {}, false, false, 10, -1, 2},
      {"extract a.zolt", Command::kExtract, "a.zolt", "", "", "", "", {}, false, false, 0, -1, 2},
      // Options may follow the operands; -C takes its value attached or apart.
      {"extract a.zolt README.TXT sub\\b.bin -C out --unsafe-paths",
       Command::kExtract,
       "a.zolt",
       "out",
       "",
       "",
       "",
       {"README.TXT", "sub\\b.bin"},
       false,
       true,
       0,
       -1,
       2},
      {"extract -Cout a", Command::kExtract, "a", "out", "", "", "", {}, false, false, 0, -1, 2},
      // After "--" a name that looks like an option is a name.
      {"extract a -- -C", Command::kExtract, "a", "", "", "", "", {"-C"}, false, false, 0, -1, 2},
      {"expand -m rle", Command::kExpand, "", "", "", "", "", {}, false, false, 0, -1, 1},
      {"expand -m lzh --size 486 in out",
       Command::kExpand,
       "",
       "",
       "in",
       "out",
       "",
       {},
       false,
       false,
       0,
       486,
       2},
      {"expand -m lzh --size 0 - out",
       Command::kExpand,
       "",
       "",
       "",
       "out",
       "",
       {},
       false,
       false,
       0,
       0,
       2},
      {"compress --method=lzh in",
       Command::kCompress,
       "",
       "",
       "in",
       "",
       "",
       {},
       false,
       false,
       0,
       -1,
       2},
      {"pack -o a.zolt -C demo .",
       Command::kPack,
       "a.zolt",
       "demo",
       "",
       "",
       "",
       {"."},
       false,
       false,
       0,
       -1,
       2},
      {"pack -m none -o a.zolt x y",
       Command::kPack,
       "a.zolt",
       "",
       "",
       "",
       "",
       {"x", "y"},
       false,
       false,
       0,
       -1,
       0},
      {"pack -m rle -o a.zolt x",
       Command::kPack,
       "a.zolt",
       "",
       "",
       "",
       "",
       {"x"},
       false,
       false,
       0,
       -1,
       1},
      {"embed --stub s --archive a.zolt -o out",
       Command::kEmbed,
       "a.zolt",
       "",
       "",
       "out",
       "s",
       {},
       false,
       false,
       0,
       -1,
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ParseResult r = ParseCommandLine(Split(c.line));
    ASSERT_EQ(r.kind, Kind::kRun) << r.text;
    const Options& o = r.options;
    EXPECT_EQ(o.command, c.command);
    EXPECT_EQ(o.archive, c.archive);
    EXPECT_EQ(o.directory, c.directory);
    EXPECT_EQ(o.input, c.input);
    EXPECT_EQ(o.output, c.output);
    EXPECT_EQ(o.stub, c.stub);
    EXPECT_EQ(o.names, c.names);
    EXPECT_EQ(o.module, c.module);
    EXPECT_EQ(o.unsafePaths, c.unsafe);
    EXPECT_EQ(o.key, c.key);
    EXPECT_EQ(o.size, c.size);
    EXPECT_EQ(o.method, c.method);
  }
}

TEST(OptionsMessage, HelpAndVersion) {
  ParseResult version = ParseCommandLine({"--version"});
  EXPECT_EQ(version.kind, Kind::kMessage);
  EXPECT_EQ(version.text, VersionText());
  EXPECT_EQ(version.text.rfind("quarnel ", 0), 0u);

  ParseResult general = ParseCommandLine({"--help"});
  EXPECT_EQ(general.kind, Kind::kMessage);
  for (const char* command : {"list", "test", "extract", "expand", "compress", "pack", "embed"})
    EXPECT_NE(general.text.find(std::string("  ") + command + " "), std::string::npos) << command;

  // Every command has its own help, also when other arguments are wrong or missing.
  const char* lines[] = {"list --help",     "test -h",     "extract --help", "expand --help",
                         "compress --help", "pack --help", "embed --help",   "embed -o x --help"};
  for (const char* line : lines) {
    ParseResult r = ParseCommandLine(Split(line));
    EXPECT_EQ(r.kind, Kind::kMessage) << line;
    std::string command = Split(line)[0];
    EXPECT_EQ(r.text.rfind("usage: quarnel " + command + " ", 0), 0u) << r.text;
  }
}

TEST(OptionsUsageError, MessagesAndHint) {
  struct Case {
    const char* line;
    const char* message;  // first line of the text
  };
  const Case cases[] = {
      {"", "quarnel: missing command"},
      {"frobnicate", "quarnel: unknown command 'frobnicate'"},
      {"--verbose", "quarnel: unknown option '--verbose'"},
      {"list", "quarnel: missing arguments"},
      {"list a b", "quarnel: too many arguments"},
      {"list --key 1 a", "quarnel: unknown option '--key'"},
      {"list --module=yes a", "quarnel: option '--module' takes no value"},
      {"test a --key", "quarnel: option '--key' needs a value"},
      {"test --key 12x a", "quarnel: invalid key '12x'"},
      {"test --key 4294967296 a", "quarnel: invalid key '4294967296'"},
      {"test --key 1 --key 2 a", "quarnel: option '--key' given twice"},
      {"extract -X a", "quarnel: unknown option '-X'"},
      {"expand in", "quarnel: option '-m' is required"},
      {"expand -m lzh in", "quarnel: option '--size' is required for lzh"},
      {"expand -m none --size 1", "quarnel: unknown method 'none'"},
      {"expand -m lzh --size -1", "quarnel: invalid size '-1'"},
      {"expand -m lzh --size 2147483648", "quarnel: invalid size '2147483648'"},
      {"compress -m zip", "quarnel: unknown method 'zip'"},
      {"compress -m rle a b c", "quarnel: too many arguments"},
      {"pack x", "quarnel: option '-o' is required"},
      {"pack -o a.zolt", "quarnel: missing arguments"},
      {"embed --stub s --archive a", "quarnel: option '-o' is required"},
      {"embed --archive a -o o", "quarnel: option '--stub' is required"},
      {"embed --stub s --archive a -o o extra", "quarnel: too many arguments"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ParseResult r = ParseCommandLine(Split(c.line));
    ASSERT_EQ(r.kind, Kind::kUsageError);
    EXPECT_EQ(r.text.substr(0, r.text.find('\n')), c.message);
    EXPECT_EQ(r.text.back(), '\n');
  }
  // The hint names the command's help when the command is known.
  EXPECT_EQ(ParseCommandLine({"list"}).text,
            "quarnel: missing arguments\n"
            "usage: quarnel list [--module] ARCHIVE\n"
            "Try 'quarnel list --help' for more information.\n");
  EXPECT_EQ(ParseCommandLine({"frobnicate"}).text,
            "quarnel: unknown command 'frobnicate'\n"
            "Try 'quarnel --help' for more information.\n");
}

}  // namespace
}  // namespace tools
