// The commands of the quarnel tool. Each reads its inputs, does its work and raises an exception
// (derived from platform::Exception, with the message as it stands) on any failure; the caller
// prints "quarnel: MESSAGE" and exits with 1.
#pragma once

#include <cstdio>
#include <ostream>

#include "tools/options.h"

namespace tools {

struct CommandContext {
  std::ostream& out;   // listings and the paths written
  std::ostream& err;   // the progress bar
  std::FILE* dataIn;   // raw input of expand and compress when no file is named
  std::FILE* dataOut;  // raw output of expand and compress when no file is named
  bool progress;       // draw a progress bar on err (it is a terminal)
};

void RunCommand(const Options& options, CommandContext& context);

// One command each; RunCommand picks by options.command.
void ListCommand(const Options& options, CommandContext& context);
void TestCommand(const Options& options, CommandContext& context);
void ExtractCommand(const Options& options, CommandContext& context);
void CodecCommand(const Options& options, CommandContext& context);  // expand and compress
void PackCommand(const Options& options, CommandContext& context);
void EmbedCommand(const Options& options, CommandContext& context);

}  // namespace tools
