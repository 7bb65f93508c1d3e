// Message texts of the platform's exceptions. Each text is stored here once, in UTF-8, and turned
// into the system code page when an exception is made.
#include "platform/exceptions.h"

#include <string>

namespace platform {
namespace {

constexpr const char kReadErrorText[] = "Stream-Read-Fehler ";
constexpr const char kWriteErrorText[] = "Stream-Write-Fehler ";
constexpr const char kCreateErrorText[] = "Datei %s kann nicht erstellt werden";
constexpr const char kOpenErrorText[] = "Datei %s kann nicht geöffnet werden";
constexpr const char kResNotFoundText[] = "Ressource %s nicht gefunden";
constexpr const char kOutOfMemoryText[] = "Speicher reicht nicht aus";
constexpr const char kOtherInOutErrorText[] = "I/O-Fehler %d";

struct InOutText {
  int code;
  const char* text;
};
constexpr InOutText kInOutTexts[] = {
    {2, "Datei nicht gefunden"},           {3, "Ungültiger Dateiname"},
    {4, "Zu viele Dateien geöffnet"},      {5, "Dateizugriff verweigert"},
    {100, "Lesen nach Dateiende (EOF)"},   {101, "Kapazität der Diskette/Festplatte erschöpft"},
    {106, "Ungültige numerische Eingabe"},
};

// The template in the system code page with its one placeholder replaced by an argument that is
// already in the system code page.
std::string Format(const char* utf8Template, const char* placeholder, const std::string& arg) {
  std::string text = ToSystemCodePage(utf8Template);
  std::string::size_type at = text.find(placeholder);
  if (at != std::string::npos) text.replace(at, 2, arg);
  return text;
}

}  // namespace

EReadError::EReadError() : Exception(ToSystemCodePage(kReadErrorText)) {}

EWriteError::EWriteError() : Exception(ToSystemCodePage(kWriteErrorText)) {}

EFCreateError::EFCreateError(const std::string& path)
    : Exception(Format(kCreateErrorText, "%s", path)) {}

EFCreateError::EFCreateError(std::string message, int) : Exception(std::move(message)) {}

EFOpenError::EFOpenError(const std::string& path)
    : EFCreateError(Format(kOpenErrorText, "%s", path), 0) {}

EInOutError::EInOutError(int errorCode) : Exception(TextFor(errorCode)), errorCode_(errorCode) {}

std::string EInOutError::TextFor(int errorCode) {
  for (const InOutText& entry : kInOutTexts)
    if (entry.code == errorCode) return ToSystemCodePage(entry.text);
  return Format(kOtherInOutErrorText, "%d", std::to_string(errorCode));
}

EResNotFound::EResNotFound(const std::string& resourceName)
    : Exception(Format(kResNotFoundText, "%s", resourceName)) {}

EOutOfMemory::EOutOfMemory() : Exception(ToSystemCodePage(kOutOfMemoryText)) {}

}  // namespace platform
