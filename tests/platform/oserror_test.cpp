// The errno table of the POSIX backend: each OS error maps to the Windows code whose text the
// user then reads.
#include "platform/oserror.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/exceptions.h"

namespace platform {
namespace {

TEST(ErrnoTable, WindowsCodes) {
  struct Case {
    int errnoValue;
    bool parentMissing;
    int windowsCode;
    const char* name;
  };
  const Case cases[] = {
      {0, false, 0, "none"},
      {ENOENT, false, 2, "ENOENT"},
      {ENOENT, true, 3, "ENOENT, parent missing"},
      {ENOTDIR, false, 3, "ENOTDIR"},
      {ENAMETOOLONG, false, 206, "ENAMETOOLONG"},
      {EACCES, false, 5, "EACCES"},
      {EPERM, false, 5, "EPERM"},
      {EROFS, false, 5, "EROFS"},
      {EISDIR, false, 5, "EISDIR"},
      {EMFILE, false, 4, "EMFILE"},
      {ENFILE, false, 4, "ENFILE"},
      {ENOSPC, false, 112, "ENOSPC"},
      {EEXIST, false, 183, "EEXIST"},
      {ENOTEMPTY, false, 145, "ENOTEMPTY"},
      {EBUSY, false, 170, "EBUSY"},
      {EBADF, false, 6, "EBADF"},
      {ENOMEM, false, 8, "ENOMEM"},
      {EINVAL, false, 87, "EINVAL"},
      {EIO, false, 1117, "EIO"},
      {EXDEV, false, 17, "EXDEV"},
      {ENODEV, false, 15, "ENODEV"},
      {ENXIO, false, 21, "ENXIO"},
      {EFBIG, false, 223, "EFBIG"},
      {ESPIPE, false, 25, "ESPIPE"},
      {EMLINK, false, 1142, "EMLINK"},
      {EAGAIN, false, 33, "EAGAIN"},
#ifdef ELOOP
      {ELOOP, false, 1921, "ELOOP"},
#endif
#ifdef EDQUOT
      {EDQUOT, false, 112, "EDQUOT"},
#endif
#ifdef ETXTBSY
      {ETXTBSY, false, 32, "ETXTBSY"},
#endif
      {EACCES, true, 5, "parentMissing matters only for ENOENT"},
      {99999, false, 31, "unknown"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WindowsErrorFromErrno(c.errnoValue, c.parentMissing), c.windowsCode) << c.name;
}

TEST(ErrnoTable, TextsTheUserReads) {
  EXPECT_EQ(EInOutError(WindowsErrorFromErrno(EACCES, false)).Message(), "Dateizugriff verweigert");
  EXPECT_EQ(EInOutError(WindowsErrorFromErrno(ENOENT, false)).Message(), "Datei nicht gefunden");
  EXPECT_EQ(EInOutError(WindowsErrorFromErrno(EMFILE, false)).Message(),
            ToSystemCodePage("Zu viele Dateien geöffnet"));
  EXPECT_EQ(EInOutError(WindowsErrorFromErrno(ENOSPC, false)).Message(), "I/O-Fehler 112");
}

}  // namespace
}  // namespace platform
