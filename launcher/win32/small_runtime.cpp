// Small stand-ins for parts of the C++ runtime that the static launcher image would otherwise
// carry for nothing.
//
// The runtime's default terminate handler names the type of the exception in flight and so links
// the whole symbol demangler and a printf; a window program has no console to print it to. The
// runtime's own "throw a standard exception" helpers construct std::logic_error and friends,
// whose strings use the older string layout, and so link a second copy of the string code. The
// launcher throws them only for faults of the program itself (a string longer than memory, a
// position past the end); here they raise small exceptions that still reach every
// catch (const std::exception&), with the same message texts.
#include <cstdlib>
#include <exception>
#include <new>

namespace {

// A standard exception whose message is a fixed text.
class TRuntimeFault : public std::exception {
 public:
  explicit TRuntimeFault(const char* text) : text_(text) {}
  const char* what() const noexcept override { return text_; }

 private:
  const char* text_;
};

}  // namespace

namespace __gnu_cxx {

// Ends the program without naming the exception.
void __verbose_terminate_handler() {
  std::abort();
}

}  // namespace __gnu_cxx

namespace std {

void __throw_bad_alloc() {
  throw std::bad_alloc();
}
void __throw_bad_array_new_length() {
  throw std::bad_array_new_length();
}
// A string or vector asked to grow past its largest size: memory cannot hold it either.
void __throw_length_error(const char*) {
  throw std::bad_alloc();
}
void __throw_logic_error(const char* text) {
  throw TRuntimeFault(text);
}
// The text is a format with the position and size; the plain format still names the function.
void __throw_out_of_range_fmt(const char* format, ...) {
  throw TRuntimeFault(format);
}

}  // namespace std
