// Dispatch from the parsed command line to the command.
#include "tools/commands.h"

namespace tools {

void RunCommand(const Options& options, CommandContext& context) {
  switch (options.command) {
    case Command::kList:
      ListCommand(options, context);
      break;
    case Command::kTest:
      TestCommand(options, context);
      break;
    case Command::kExtract:
      ExtractCommand(options, context);
      break;
    case Command::kExpand:
    case Command::kCompress:
      CodecCommand(options, context);
      break;
    case Command::kPack:
      PackCommand(options, context);
      break;
    case Command::kEmbed:
      EmbedCommand(options, context);
      break;
  }
}

}  // namespace tools
