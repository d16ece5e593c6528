#pragma once
// The one error the program raises when a text that should hold a number does
// not: a malformed size or percent in a list ends the operation that read it
// and reaches the exception reporter, instead of turning into a wrong number.
#include <stdexcept>
#include <string>

class EConvertError : public std::runtime_error {
  public:
    explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};
