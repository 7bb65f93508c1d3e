// Parsing of the quarnel command line: one table row per command with its usage, help and the
// options it takes; options and operands may come in any order, "--" ends the options.
#include "tools/options.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#ifndef QUARNEL_VERSION
#define QUARNEL_VERSION "0"
#endif

namespace tools {
namespace {

enum OptionId : unsigned {
  kOptModule = 1u << 0,
  kOptKey = 1u << 1,
  kOptUnsafe = 1u << 2,
  kOptDir = 1u << 3,
  kOptMethod = 1u << 4,
  kOptSize = 1u << 5,
  kOptOutput = 1u << 6,
  kOptStub = 1u << 7,
  kOptArchive = 1u << 8,
};

struct OptionRule {
  OptionId id;
  const char* longName;  // without "--"
  char shortName;        // 0 when there is none
  bool takesValue;
};

constexpr OptionRule kOptionRules[] = {
    {kOptModule, "module", 0, false},       {kOptKey, "key", 0, true},
    {kOptUnsafe, "unsafe-paths", 0, false}, {kOptDir, "directory", 'C', true},
    {kOptMethod, "method", 'm', true},      {kOptSize, "size", 0, true},
    {kOptOutput, "output", 'o', true},      {kOptStub, "stub", 0, true},
    {kOptArchive, "archive", 0, true},
};

struct CommandRule {
  Command command;
  const char* name;
  const char* summary;
  const char* usage;  // after "quarnel "
  const char* help;   // option lines
  unsigned options;   // OptionId bits accepted
  int minOperands;
  int maxOperands;  // -1: no limit
};

constexpr CommandRule kCommands[] = {
    {Command::kList, "list", "list the entries of an archive", "list [--module] ARCHIVE",
     "  --module      ARCHIVE is a launcher; read its \"MyArchiv\" resource\n", kOptModule, 1, 1},
    {Command::kTest, "test", "expand every entry without writing files and verify it",
     "test [--module] [--key N] [--unsafe-paths] ARCHIVE",
     "  --module      ARCHIVE is a launcher; read its \"MyArchiv\" resource\n"
     "  --key N       key for locked entries\n"
     "  --unsafe-paths  accept rooted names, drive letters and \"..\" in entry names\n",
     kOptModule | kOptKey | kOptUnsafe, 1, 1},
    {Command::kExtract, "extract", "expand the entries of an archive into a folder",
     "extract [--module] [-C DIR] [--key N] [--unsafe-paths] ARCHIVE [NAME...]",
     "  -C DIR        write below DIR (default: the current folder)\n"
     "  --module      ARCHIVE is a launcher; read its \"MyArchiv\" resource\n"
     "  --key N       key for locked entries\n"
     "  --unsafe-paths  accept rooted names, drive letters and \"..\" in entry names\n"
     "  NAME...       expand only the entries of these names (case ignored)\n",
     kOptModule | kOptDir | kOptKey | kOptUnsafe, 1, -1},
    {Command::kExpand, "expand", "expand raw codec data", "expand -m rle|lzh [--size N] [IN [OUT]]",
     "  -m rle|lzh    codec\n"
     "  --size N      number of bytes to produce (required for lzh)\n"
     "  IN, OUT       files; standard input and output when left out or \"-\"\n",
     kOptMethod | kOptSize, 0, 2},
    {Command::kCompress, "compress", "compress raw bytes with a codec",
     "compress -m rle|lzh [IN [OUT]]",
     "  -m rle|lzh    codec\n"
     "  IN, OUT       files; standard input and output when left out or \"-\"\n",
     kOptMethod, 0, 2},
    {Command::kPack, "pack", "write an archive of files and folders",
     "pack -o ARCHIVE [-m none|rle|lzh] [-C DIR] PATH...",
     "  -o ARCHIVE    archive to write\n"
     "  -m METHOD     none, rle or lzh (default: lzh)\n"
     "  -C DIR        names are relative to DIR (default: the current folder)\n"
     "  PATH...       files and folders below DIR; folders are packed in name order\n",
     kOptOutput | kOptMethod | kOptDir, 1, -1},
    {Command::kEmbed, "embed", "make a launcher that carries an archive",
     "embed --stub EXE --archive ARCHIVE -o OUT",
     "  --stub EXE    launcher stub, a Windows PE or a Linux ELF executable\n"
     "  --archive ARCHIVE  archive to carry as the \"MyArchiv\" resource\n"
     "  -o OUT        launcher to write; an archive already in the stub is replaced\n",
     kOptStub | kOptArchive | kOptOutput, 0, 0},
};

std::string GeneralHelp() {
  std::string text = "usage: quarnel COMMAND [options] ARGS\n\ncommands:\n";
  for (const auto& c : kCommands) {
    std::string name = c.name;
    text += "  " + name + std::string(10 - name.size(), ' ') + c.summary + "\n";
  }
  text +=
      "\n  --help        help on quarnel or on a command\n"
      "  --version     print the version\n"
      "\nRun 'quarnel COMMAND --help' for the options of a command.\n";
  return text;
}

std::string CommandHelp(const CommandRule& c) {
  return std::string("usage: quarnel ") + c.usage + "\n\n" + c.summary + "\n\n" + c.help +
         "  --help        this help\n";
}

ParseResult Usage(const std::string& message, const CommandRule* c) {
  ParseResult r;
  r.kind = ParseResult::Kind::kUsageError;
  r.text = "quarnel: " + message + "\n";
  if (c)
    r.text += std::string("usage: quarnel ") + c->usage + "\nTry 'quarnel " + c->name +
              " --help' for more information.\n";
  else
    r.text += "Try 'quarnel --help' for more information.\n";
  return r;
}

ParseResult Message(std::string text) {
  ParseResult r;
  r.kind = ParseResult::Kind::kMessage;
  r.text = std::move(text);
  return r;
}

// A whole decimal or 0x-hexadecimal number with an optional sign; false when it is not one or
// lies outside [lo, hi].
bool ParseNumber(const std::string& s, long long lo, long long hi, long long& value) {
  if (s.empty() || s.size() > 24) return false;
  size_t digits = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  int base = 10;
  if (s.size() > digits + 2 && s[digits] == '0' && (s[digits + 1] == 'x' || s[digits + 1] == 'X'))
    base = 16;
  if (digits >= s.size() || s[digits] == ' ' || s[s.size() - 1] == ' ') return false;
  const char* begin = s.c_str();
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(begin, &end, base);
  if (errno != 0 || end == begin || *end != '\0' || v < lo || v > hi) return false;
  value = v;
  return true;
}

bool ParseMethod(const std::string& s, uint8_t& method) {
  if (s == "none")
    method = 0;
  else if (s == "rle")
    method = 1;
  else if (s == "lzh")
    method = 2;
  else
    return false;
  return true;
}

// Applies one option with its value; an empty result means success, otherwise the message.
std::string Apply(const OptionRule& o, const std::string& value, const CommandRule& c,
                  Options& opts) {
  long long n = 0;
  switch (o.id) {
    case kOptModule:
      opts.module = true;
      break;
    case kOptUnsafe:
      opts.unsafePaths = true;
      break;
    case kOptKey:
      // A key is a 32-bit value: negative and unsigned spellings both name it.
      if (!ParseNumber(value, std::numeric_limits<int32_t>::min(),
                       std::numeric_limits<uint32_t>::max(), n))
        return "invalid key '" + value + "'";
      opts.key = static_cast<int32_t>(static_cast<uint32_t>(n));
      break;
    case kOptDir:
      if (value.empty()) return "empty folder name for -C";
      opts.directory = value;
      break;
    case kOptMethod:
      if (!ParseMethod(value, opts.method) || (opts.method == 0 && c.command != Command::kPack))
        return "unknown method '" + value + "'";
      break;
    case kOptSize:
      if (!ParseNumber(value, 0, std::numeric_limits<int32_t>::max(), n))
        return "invalid size '" + value + "'";
      opts.size = static_cast<int32_t>(n);
      break;
    case kOptOutput:
      if (value.empty()) return "empty file name for -o";
      opts.output = value;
      break;
    case kOptStub:
      opts.stub = value;
      break;
    case kOptArchive:
      opts.archive = value;
      break;
  }
  return {};
}

const OptionRule* FindLong(const std::string& name) {
  for (const auto& o : kOptionRules)
    if (name == o.longName) return &o;
  return nullptr;
}

const OptionRule* FindShort(char name) {
  for (const auto& o : kOptionRules)
    if (o.shortName != 0 && name == o.shortName) return &o;
  return nullptr;
}

ParseResult ParseCommand(const CommandRule& c, const std::vector<std::string>& args) {
  Options opts;
  opts.command = c.command;
  std::vector<std::string> operands;
  unsigned seen = 0;
  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (optionsEnded || a.size() < 2 || a[0] != '-') {
      operands.push_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    if (a == "--help" || a == "-h") return Message(CommandHelp(c));
    const OptionRule* o = nullptr;
    std::string shown, value;
    bool hasValue = false;
    if (a[1] == '-') {
      std::string name = a.substr(2);
      size_t eq = name.find('=');
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name.resize(eq);
        hasValue = true;
      }
      o = FindLong(name);
      shown = "--" + name;
    } else {
      o = FindShort(a[1]);
      shown = a.substr(0, 2);
      if (a.size() > 2) {
        value = a.substr(2);
        hasValue = true;
      }
    }
    if (!o || !(c.options & o->id)) return Usage("unknown option '" + shown + "'", &c);
    if (o->takesValue && !hasValue) {
      if (i + 1 >= args.size()) return Usage("option '" + shown + "' needs a value", &c);
      value = args[++i];
    } else if (!o->takesValue && hasValue) {
      return Usage("option '" + shown + "' takes no value", &c);
    }
    if (seen & o->id) return Usage("option '" + shown + "' given twice", &c);
    seen |= o->id;
    std::string error = Apply(*o, value, c, opts);
    if (!error.empty()) return Usage(error, &c);
  }

  if (static_cast<int>(operands.size()) < c.minOperands)
    return Usage(operands.empty() ? "missing arguments" : "too few arguments", &c);
  if (c.maxOperands >= 0 && static_cast<int>(operands.size()) > c.maxOperands)
    return Usage("too many arguments", &c);

  switch (c.command) {
    case Command::kList:
    case Command::kTest:
    case Command::kExtract:
      opts.archive = operands[0];
      opts.names.assign(operands.begin() + 1, operands.end());
      break;
    case Command::kExpand:
    case Command::kCompress:
      if (!(seen & kOptMethod)) return Usage("option '-m' is required", &c);
      if (c.command == Command::kExpand && opts.method == 2 && opts.size < 0)
        return Usage("option '--size' is required for lzh", &c);
      if (operands.size() > 0 && operands[0] != "-") opts.input = operands[0];
      if (operands.size() > 1 && operands[1] != "-") opts.output = operands[1];
      break;
    case Command::kPack:
      if (!(seen & kOptOutput)) return Usage("option '-o' is required", &c);
      opts.archive = opts.output;
      opts.output.clear();
      opts.names = operands;
      break;
    case Command::kEmbed:
      if (!(seen & kOptStub)) return Usage("option '--stub' is required", &c);
      if (!(seen & kOptArchive)) return Usage("option '--archive' is required", &c);
      if (!(seen & kOptOutput)) return Usage("option '-o' is required", &c);
      break;
  }
  ParseResult r;
  r.options = std::move(opts);
  return r;
}

}  // namespace

std::string VersionText() {
  return std::string("quarnel ") + QUARNEL_VERSION + "\n";
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("missing command", nullptr);
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") return Message(GeneralHelp());
  if (first == "--version") return Message(VersionText());
  for (const auto& c : kCommands)
    if (first == c.name) return ParseCommand(c, args);
  if (first.size() > 1 && first[0] == '-') return Usage("unknown option '" + first + "'", nullptr);
  return Usage("unknown command '" + first + "'", nullptr);
}

}  // namespace tools
