// The error kinds of the program. An error is raised where it happens and passes up unhandled; only the
// start-up sequence (skip and continue) and the event boundaries catch it.
#pragma once

#include <stdexcept>

enum class ErrorKind {
  InvalidArgument,      // a field without its terminating bar
  Overflow,             // a number outside the target type's range
  SubscriptOutOfRange,  // an index outside 0 to 49
  TypeMismatch,         // an empty or non-numeric text where a number is needed
  FileNotFound,         // a file that cannot be opened or loaded
  InputPastEnd,         // a line read after the end of a file
  NoSuchControl,        // a link index that names no label
  BadFileNumber,        // a line read from a file that is not open
};

const char* ErrorKindName(ErrorKind kind);

class AppError : public std::runtime_error {
 public:
  explicit AppError(ErrorKind kind) : std::runtime_error(ErrorKindName(kind)), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

// Thrown by a platform whose EndProgram cannot end the process (the tests' fake), so that nothing after it
// runs. It is the one exception no step or event boundary may swallow.
struct ProgramEnded {};

// Runs one step and drops any error it raises, a shortage of memory as much as an AppError: the
// skip-and-continue mode of the start-up and the event boundaries. A step that fails in any way is
// abandoned, and the program goes on to the next one instead of being left with no window and no end.
template <class Step>
void SkipOnError(Step&& step) {
  try {
    step();
  } catch (const ProgramEnded&) {
    throw;
  } catch (...) {
  }
}
