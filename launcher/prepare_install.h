// PrepareInstall: the launcher's working routine. It expands the archive that the program
// carries as its resource "MyArchiv" of type "TQUARNEL" into a folder, then optionally opens a
// text file of that folder in Notepad and starts a program of that folder.
//
// The archive opening and the program start go through a TPrepareHost so that tests can record
// them; the system host opens the own module's resource and starts programs with
// platform::StartProgram.
#pragma once

#include <memory>
#include <string>

#include "expander/quarnel.h"
#include "platform/stream.h"

namespace launcher {

// Name of the archive resource in the own executable.
inline constexpr const char* kArchiveResourceName = "MyArchiv";
// Prefix of the command line that opens the text file.
inline constexpr const char* kNotepadPrefix = "NOTEPAD ";
// A command line reaches the program start through a buffer of 256 characters: at most 255
// characters and the terminating NUL. Longer lines are cut, and the cut line is started.
inline constexpr size_t kMaxCommandLine = 255;

// What PrepareInstall needs of the world outside the component.
class TPrepareHost {
 public:
  virtual ~TPrepareHost() = default;
  // The archive stream: TQuarnel::OpenArchiveResource in production. May raise; may return
  // nothing, in which case the extraction is skipped.
  virtual std::unique_ptr<platform::ByteStream> OpenArchive(expander::TQuarnel& quarnel,
                                                            const std::string& ResName,
                                                            const std::string& LibName) = 0;
  // Starts a program without waiting; the result is not examined.
  virtual void StartProgram(const std::string& commandLine, int showMode) = 0;
};

// The production host: the own module's resource and platform::StartProgram.
class TSystemPrepareHost : public TPrepareHost {
 public:
  std::unique_ptr<platform::ByteStream> OpenArchive(expander::TQuarnel& quarnel,
                                                    const std::string& ResName,
                                                    const std::string& LibName) override;
  void StartProgram(const std::string& commandLine, int showMode) override;
};

// The command line as it reaches the program start: its first kMaxCommandLine characters.
std::string CutCommandLine(const std::string& commandLine);

// Expands the archive into Folder (which ends in a folder separator), then starts
// "NOTEPAD " + Folder + TextFileName and Folder + ProgramName, each with show mode 5, for the
// names that are not empty. Raises whatever the opening or the extraction raises; then nothing
// is started.
void PrepareInstall(std::string Folder, std::string ProgramName, std::string TextFileName,
                    TPrepareHost& host);
// The same with the system host.
void PrepareInstall(std::string Folder, std::string ProgramName, std::string TextFileName);

}  // namespace launcher
