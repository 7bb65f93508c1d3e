// TStrings/TStringList: an unsorted list of 8-bit strings whose lookup ignores the case of the
// letters a-z, as the class library's string list does.
#pragma once

#include <string>
#include <vector>

namespace platform {

class TStrings {
 public:
  virtual ~TStrings() = default;
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  const std::string& operator[](int index) const { return items_.at(index); }
  int Add(const std::string& s);
  void Clear() noexcept { items_.clear(); }
  // Replaces the contents with those of another list.
  void Assign(const TStrings& other) { items_ = other.items_; }
  // Index of the first item equal to s without regard to case, or -1.
  int IndexOf(const std::string& s) const;
  const std::vector<std::string>& Items() const noexcept { return items_; }

 private:
  std::vector<std::string> items_;
};

class TStringList : public TStrings {};

// Compares two strings without regard to the case of a-z.
bool SameText(const std::string& a, const std::string& b);
// Maps a-z to A-Z and leaves every other character unchanged.
std::string UpperCase(std::string s);

}  // namespace platform
