// quarnel: make and inspect what the launcher carries. `quarnel --help` lists the commands.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/console.h"
#include "tools/options.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  tools::ParseResult parsed = tools::ParseCommandLine(args);
  switch (parsed.kind) {
    case tools::ParseResult::Kind::kMessage:
      std::cout << parsed.text;
      return 0;
    case tools::ParseResult::Kind::kUsageError:
      std::cerr << parsed.text;
      return 2;
    case tools::ParseResult::Kind::kRun:
      break;
  }
  tools::CommandContext context{std::cout, std::cerr, stdin, stdout, tools::StderrIsTerminal()};
  try {
    tools::RunCommand(parsed.options, context);
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "quarnel: " << e.what() << '\n';
    return 1;
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "quarnel: cannot write to standard output\n";
    return 1;
  }
  return 0;
}
