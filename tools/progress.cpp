// Drawing of the progress bar.
#include "tools/progress.h"

namespace tools {

codecs::TShowProgressEvent TProgressBar::Handler() {
  if (!enabled_) return {};
  return [this](int32_t& percent) { Report(percent); };
}

void TProgressBar::Report(int32_t percent) {
  if (!enabled_) return;
  Clock::time_point now = Clock::now();
  if (last_ < 0 || percent < last_) start_ = now;
  if (percent == last_) return;
  last_ = percent;
  if (now - start_ < delay_) return;
  int32_t shown = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
  int filled = static_cast<int>(shown * kWidth / 100);
  std::string line = "\r[" + std::string(filled, '#') + std::string(kWidth - filled, ' ') + "] ";
  std::string number = std::to_string(shown);
  line += std::string(3 - number.size(), ' ') + number + "% " + label_.substr(0, 40);
  // Blanks instead of an erase escape: old Windows consoles do not know escapes.
  // The line after its "\r" is padded to kLineWidth characters.
  if (line.size() < kLineWidth + 1) line += std::string(kLineWidth + 1 - line.size(), ' ');
  err_ << line << std::flush;
  drawn_ = true;
}

void TProgressBar::Finish() {
  if (drawn_) err_ << '\r' << std::string(kLineWidth, ' ') << '\r' << std::flush;
  drawn_ = false;
  last_ = -1;
}

}  // namespace tools
