#include "platform/errors.h"

const char* ErrorKindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::InvalidArgument:
      return "Invalid procedure call or argument";
    case ErrorKind::Overflow:
      return "Overflow";
    case ErrorKind::SubscriptOutOfRange:
      return "Subscript out of range";
    case ErrorKind::TypeMismatch:
      return "Type mismatch";
    case ErrorKind::FileNotFound:
      return "File not found";
    case ErrorKind::InputPastEnd:
      return "Input past end of file";
    case ErrorKind::NoSuchControl:
      return "Control array element doesn't exist";
    case ErrorKind::BadFileNumber:
      return "Bad file name or number";
  }
  return "Error";
}
