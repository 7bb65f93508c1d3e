// The platform's message texts, by class and by I/O error code, and their code page.
#include "platform/exceptions.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace platform {
namespace {

TEST(InOutErrorText, EveryCodeOfTheTable) {
  struct Case {
    int code;
    const char* utf8;
  };
  const Case cases[] = {
      {2, "Datei nicht gefunden"},
      {3, "Ungültiger Dateiname"},
      {4, "Zu viele Dateien geöffnet"},
      {5, "Dateizugriff verweigert"},
      {100, "Lesen nach Dateiende (EOF)"},
      {101, "Kapazität der Diskette/Festplatte erschöpft"},
      {106, "Ungültige numerische Eingabe"},
      {0, "I/O-Fehler 0"},
      {1, "I/O-Fehler 1"},
      {6, "I/O-Fehler 6"},
      {112, "I/O-Fehler 112"},
      {183, "I/O-Fehler 183"},
      {-1, "I/O-Fehler -1"},
  };
  for (const Case& c : cases) {
    EInOutError e(c.code);
    EXPECT_EQ(e.ErrorCode(), c.code);
    EXPECT_EQ(e.Message(), ToSystemCodePage(c.utf8)) << c.code;
    EXPECT_STREQ(e.what(), ToSystemCodePage(c.utf8).c_str()) << c.code;
  }
}

TEST(PlatformMessages, ExactTexts) {
  EXPECT_EQ(EReadError().Message(), "Stream-Read-Fehler ");
  EXPECT_EQ(EWriteError().Message(), "Stream-Write-Fehler ");
  EXPECT_EQ(EResNotFound("MyArchiv").Message(), "Ressource MyArchiv nicht gefunden");
  EXPECT_EQ(EOutOfMemory().Message(), "Speicher reicht nicht aus");
  EXPECT_EQ(EFCreateError("C:\\x\\a.txt").Message(),
            "Datei C:\\x\\a.txt kann nicht erstellt werden");
  EXPECT_EQ(EFOpenError("a.txt").Message(),
            ToSystemCodePage("Datei a.txt kann nicht geöffnet werden"));
}

TEST(PlatformMessages, ArgumentWithPercentSignIsInsertedOnce) {
  EXPECT_EQ(EResNotFound("%s%d").Message(), "Ressource %s%d nicht gefunden");
}

TEST(PlatformMessages, ClassesDeriveFromException) {
  try {
    throw EFOpenError("x");
  } catch (const EFCreateError& e) {
    const Exception& base = e;
    EXPECT_NE(base.Message().find("x"), std::string::npos);
  }
}

TEST(SystemCodePage, UmlautBytesOfThisBuild) {
#ifdef _WIN32
  EXPECT_EQ(EInOutError(3).Message(), "Ung\xFCltiger Dateiname");
#else
  EXPECT_EQ(EInOutError(3).Message(), "Ung\xC3\xBCltiger Dateiname");
#endif
}

TEST(Windows1252, Conversion) {
  struct Case {
    const char* utf8;
    const char* expected;
  };
  const Case cases[] = {
      {"plain ASCII", "plain ASCII"},
      {"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", "\xE4\xF6\xFC\xDF"},  // äöüß
      {"\xC2\xA0\xC3\xBF", "\xA0\xFF"},                          // U+00A0, U+00FF
      {"\xE2\x82\xAC", "\x80"},                                  // euro sign
      {"\xE2\x80\x9E\xE2\x80\x9C", "\x84\x93"},                  // German quotes
      {"\xC2\x81", "?"},                                         // U+0081: unassigned there
      {"\xE4\xB8\xAD", "?"},                                     // a CJK character
      {"\xF0\x9F\x98\x80", "?"},                                 // outside the BMP
      {"a\xC3", "a?"},                                           // cut off sequence
      {"\xC3(", "?("},                                           // bad continuation
      {"\xFF"
       "b",
       "?b"},  // not a lead byte
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.expected) << c.utf8;
}

}  // namespace
}  // namespace platform
