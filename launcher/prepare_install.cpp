// The preparation routine: one component and one archive stream per call.
#include "launcher/prepare_install.h"

#include "platform/process.h"

namespace launcher {

std::unique_ptr<platform::ByteStream> TSystemPrepareHost::OpenArchive(expander::TQuarnel& quarnel,
                                                                      const std::string& ResName,
                                                                      const std::string& LibName) {
  return quarnel.OpenArchiveResource(ResName, LibName);
}

void TSystemPrepareHost::StartProgram(const std::string& commandLine, int showMode) {
  platform::StartProgram(commandLine, showMode);
}

std::string CutCommandLine(const std::string& commandLine) {
  // The buffer is a C string: a NUL inside the line ends it there as well.
  std::string line = commandLine.substr(0, commandLine.find('\0'));
  if (line.size() > kMaxCommandLine) line.resize(kMaxCommandLine);
  return line;
}

void PrepareInstall(std::string Folder, std::string ProgramName, std::string TextFileName,
                    TPrepareHost& host) {
  // The component and the stream are released on every way out, also when an exception passes;
  // the exception itself goes on to the caller unchanged.
  expander::TQuarnel quarnel;
  {
    std::unique_ptr<platform::ByteStream> stream =
        host.OpenArchive(quarnel, kArchiveResourceName, "");
    quarnel.MakeDirectories = true;
    quarnel.SetTargetPath(Folder);
    if (stream) quarnel.ExtractArchive(*stream, nullptr);
  }
  // Text file first, then the program; a failed start does not stop the next one.
  if (!TextFileName.empty())
    host.StartProgram(CutCommandLine(kNotepadPrefix + Folder + TextFileName), platform::kShow);
  if (!ProgramName.empty())
    host.StartProgram(CutCommandLine(Folder + ProgramName), platform::kShow);
}

void PrepareInstall(std::string Folder, std::string ProgramName, std::string TextFileName) {
  TSystemPrepareHost host;
  PrepareInstall(std::move(Folder), std::move(ProgramName), std::move(TextFileName), host);
}

}  // namespace launcher
