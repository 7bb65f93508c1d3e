// TStrings and the case rules of the class library: only a-z and A-Z are folded.
#include "platform/strings.h"

namespace platform {
namespace {

char UpperChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

int TStrings::Add(const std::string& s) {
  items_.push_back(s);
  return Count() - 1;
}

int TStrings::IndexOf(const std::string& s) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (SameText(items_[i], s)) return static_cast<int>(i);
  return -1;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  return true;
}

std::string UpperCase(std::string s) {
  for (char& c : s) c = UpperChar(c);
  return s;
}

}  // namespace platform
