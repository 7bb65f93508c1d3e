// The progress bar: quiet when disabled, drawn in place over one line, cleared at the end.
#include "tools/progress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tools {
namespace {

TEST(ProgressBar, DisabledHasNoHandlerAndWritesNothing) {
  std::ostringstream err;
  TProgressBar bar(err, false, std::chrono::milliseconds(0));
  EXPECT_FALSE(bar.Handler());
  bar.Report(50);
  bar.Finish();
  EXPECT_EQ(err.str(), "");
}

TEST(ProgressBar, DrawsOverOneLineAndClearsIt) {
  std::ostringstream err;
  {
    TProgressBar bar(err, true, std::chrono::milliseconds(0));
    bar.SetLabel("readme.txt");
    codecs::TShowProgressEvent handler = bar.Handler();
    ASSERT_TRUE(handler);
    int32_t p = 50;
    handler(p);
    EXPECT_EQ(p, 50) << "the handler never stops the run";
    std::string line = "\r[" + std::string(15, '#') + std::string(15, ' ') + "]  50% readme.txt";
    EXPECT_EQ(err.str(), line + std::string(79 - line.size() + 1, ' '));
    err.str("");
    bar.Report(50);  // the same percentage again: nothing new to draw
    EXPECT_EQ(err.str(), "");
  }
  // The destructor clears the line it drew.
  EXPECT_EQ(err.str(), "\r" + std::string(79, ' ') + "\r");
}

TEST(ProgressBar, ShortRunsStayQuiet) {
  std::ostringstream err;
  TProgressBar bar(err, true, std::chrono::hours(1));
  for (int32_t p : {10, 60, 100}) bar.Report(p);
  bar.Finish();
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace tools
