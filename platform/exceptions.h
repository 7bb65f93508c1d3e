// Exceptions of the platform layer. Every failure in this project is a C++ exception derived from
// Exception, which carries only its message (an 8-bit string in the system code page). The
// classes below stand in for the class library's stream, file, resource and memory errors and
// carry its German message texts; each text exists once, in exceptions.cpp.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace platform {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

 private:
  std::string message_;
};

// A read of a fixed count that delivered fewer bytes: "Stream-Read-Fehler ".
class EReadError : public Exception {
 public:
  EReadError();
};

// A write-all that the destination did not take in full: "Stream-Write-Fehler ".
class EWriteError : public Exception {
 public:
  EWriteError();
};

// A file that could not be created: "Datei <path> kann nicht erstellt werden".
class EFCreateError : public Exception {
 public:
  explicit EFCreateError(const std::string& path);

 protected:
  EFCreateError(std::string message, int);
};

// A file that could not be opened: "Datei <path> kann nicht geöffnet werden". Derived from
// EFCreateError, so that a handler of the creation error also catches it.
class EFOpenError : public EFCreateError {
 public:
  explicit EFOpenError(const std::string& path);
};

// A file-system error with a Windows error code, which picks the message text.
class EInOutError : public Exception {
 public:
  explicit EInOutError(int errorCode);
  int ErrorCode() const noexcept { return errorCode_; }
  // The text for an error code: the table of the class library, "I/O-Fehler %d" otherwise.
  static std::string TextFor(int errorCode);

 private:
  int errorCode_;
};

// A module resource that does not exist: "Ressource %s nicht gefunden".
class EResNotFound : public Exception {
 public:
  explicit EResNotFound(const std::string& resourceName);
};

// An allocation that failed: "Speicher reicht nicht aus".
class EOutOfMemory : public Exception {
 public:
  EOutOfMemory();
};

// Turns UTF-8 text of this source tree into the system code page (Windows-1252 on Windows,
// unchanged on POSIX, whose system code page is UTF-8). Implemented by each backend.
std::string ToSystemCodePage(const std::string& utf8);

}  // namespace platform
