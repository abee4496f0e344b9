#pragma once
// The program's general error: a check of the operator's input failed. Its message is
// shown to the operator as it stands.

#include <stdexcept>

namespace kerf {

class UserError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace kerf
