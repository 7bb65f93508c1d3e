// Command-line parsing of the quarnel command: `quarnel COMMAND [options] ARGS`. The parser only
// reads the arguments; it returns what to run, a message to print (help, version: exit 0) or a
// usage error (exit 2), and never touches a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

enum class Command { kList, kTest, kExtract, kExpand, kCompress, kPack, kEmbed };

struct Options {
  Command command = Command::kList;  // what to run
  std::string archive;               // list/test/extract: archive read; pack: -o; embed: --archive
  bool module = false;               // the archive is the "MyArchiv" resource of a launcher
  int32_t key = 0;                   // --key: key for locked entries, 0 = none
  bool unsafePaths = false;          // --unsafe-paths: the component's own name rules
  std::string directory;             // -C: target folder (extract) or base folder (pack)
  std::vector<std::string> names;    // extract: wanted names; pack: paths to pack
  uint8_t method = 2;                // -m: method code (pack default LZH)
  int32_t size = -1;                 // expand --size: bytes to produce, -1 when not given
  std::string input;                 // expand/compress: input file, empty = standard input
  std::string output;                // expand/compress: output file; embed -o
  std::string stub;                  // embed --stub
};

struct ParseResult {
  enum class Kind {
    kRun,         // run options
    kMessage,     // print text on standard output, exit 0
    kUsageError,  // print text on standard error, exit 2
  };
  Kind kind = Kind::kRun;
  Options options;
  std::string text;  // the message or the complete usage-error text, ending in a newline
};

// Parses the arguments after the program name.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// The version line printed by --version.
std::string VersionText();

}  // namespace tools
