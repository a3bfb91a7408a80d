#pragma once

#include <stdexcept>

namespace h33 {

// The one base of the exceptions a run may end with; what() is the message
// the user reads. Its kinds are siblings: a read or write that failed
// (IoError, format/bytesource.h) and a program line a method will not work
// on (ProgramRefusal, format/refusal.h). A method catches RunError at its
// boundary and returns its typed result; it catches a kind where the two
// are told apart.
class RunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace h33
