// A file that cannot be read or written.
#pragma once

#include <stdexcept>

namespace quintaro {

// The text is the complete message for the user.
class DateiFehler : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace quintaro
