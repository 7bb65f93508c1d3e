// Folder names from damaged archives: a folder part whose last component ends in ":" (which the
// folder part of a path keeps as a delimiter) must not send folder creation round in circles.
#include <gtest/gtest.h>

#include <string>

#include "expander/folders.h"
#include "platform/exceptions.h"
#include "support/tempdir.h"

namespace {

TEST(FolderNames, ColonAtTheEndOfAComponent) {
  for (const char* name : {"a:", "b:\\c", "d::", "e:\\f:\\", "g: h:"}) {
    testsupport::TempDir dir;
    const std::string path = dir.Folder() + name;
    // POSIX takes ":" in a folder name, Windows refuses it with an I/O error; either way the
    // call comes back.
    try {
      expander::CreateFolderPath(path);
#ifndef _WIN32
      EXPECT_TRUE(expander::FolderExists(path)) << name;
#endif
    } catch (const platform::EInOutError&) {
#ifndef _WIN32
      ADD_FAILURE() << name << ": not created";
#endif
    }
  }
}

}  // namespace
