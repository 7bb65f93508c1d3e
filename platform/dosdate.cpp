// MS-DOS date and time: date in the upper 16 bits (bits 15-9 years since 1980, 8-5 month, 4-0
// day), time in the lower 16 (bits 15-11 hour, 10-5 minute, 4-0 seconds divided by two).
#include "platform/fs.h"

namespace platform {
namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

DosDateTime DecodeDosDateTime(uint32_t dosDateTime) {
  uint32_t date = dosDateTime >> 16, time = dosDateTime & 0xFFFF;
  DosDateTime t;
  t.year = 1980 + static_cast<int>(date >> 9);
  t.month = static_cast<int>((date >> 5) & 0x0F);
  t.day = static_cast<int>(date & 0x1F);
  t.hour = static_cast<int>(time >> 11);
  t.minute = static_cast<int>((time >> 5) & 0x3F);
  t.second = static_cast<int>(time & 0x1F) * 2;
  return t;
}

uint32_t EncodeDosDateTime(const DosDateTime& t) {
  uint32_t date = (static_cast<uint32_t>(t.year - 1980) << 9) |
                  (static_cast<uint32_t>(t.month) << 5) | static_cast<uint32_t>(t.day);
  uint32_t time = (static_cast<uint32_t>(t.hour) << 11) | (static_cast<uint32_t>(t.minute) << 5) |
                  static_cast<uint32_t>(t.second / 2);
  return (date << 16) | time;
}

bool IsValidDosDateTime(uint32_t dosDateTime) {
  DosDateTime t = DecodeDosDateTime(dosDateTime);
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) &&
         t.hour <= 23 && t.minute <= 59 && t.second <= 58;
}

uint32_t ClampedDosDateTime(const DosDateTime& t) {
  if (t.year < 1980) return EncodeDosDateTime({1980, 1, 1, 0, 0, 0});
  if (t.year > 2107) return EncodeDosDateTime({2107, 12, 31, 23, 59, 58});
  return EncodeDosDateTime(t);
}

}  // namespace platform
