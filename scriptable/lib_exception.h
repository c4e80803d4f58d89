#pragma once
// The failures a request handler raises toward the browser. The dispatcher
// turns them into error replies carrying their text; an empty text means the
// failure has already been dealt with and nothing is sent.

#include <stdexcept>
#include <string>

namespace marrowel {

class lib_exception : public std::runtime_error {
 public:
  explicit lib_exception(const std::string& text) : std::runtime_error(text) {}
};

class invalid_args : public lib_exception {
 public:
  invalid_args() : lib_exception("Invalid arguments") {}
};

}  // namespace marrowel
