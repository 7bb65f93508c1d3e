// A progress bar on standard error for long codec runs. It is fed the percentages the codec frame
// reports (OnShowProgress) and draws only when it is enabled (standard error is a terminal) and
// the current run has lasted a moment, so that short work and redirected output stay quiet.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "codecs/frame.h"

namespace tools {

class TProgressBar {
 public:
  // How long a run must last before the bar appears: short runs never flicker.
  static constexpr std::chrono::milliseconds kDelay{300};

  TProgressBar(std::ostream& err, bool enabled, std::chrono::milliseconds delay = kDelay)
      : err_(err), enabled_(enabled), delay_(delay) {}
  ~TProgressBar() { Finish(); }
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  // A handler for the codec frame; empty when the bar is disabled, so the frame skips the calls.
  codecs::TShowProgressEvent Handler();
  // Names the work that the next reports belong to (shown beside the bar).
  void SetLabel(const std::string& label) { label_ = label; }
  // One report of a run: 0..100; a value below the last one starts a new run.
  void Report(int32_t percent);
  // Clears the bar from the terminal line if it was drawn.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr int kWidth = 30;         // characters between the brackets
  static constexpr size_t kLineWidth = 79;  // the whole line, padded so that it overwrites

  std::ostream& err_;                // where the bar is drawn
  bool enabled_;                     // standard error is a terminal
  std::chrono::milliseconds delay_;  // how long a run lasts before it is drawn
  bool drawn_ = false;               // the line holds a bar that Finish must clear
  int32_t last_ = -1;                // the last percentage reported, -1 before the first
  Clock::time_point start_;          // when the current run reported first
  std::string label_;                // shown after the percentage
};

}  // namespace tools
