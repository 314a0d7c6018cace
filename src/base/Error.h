#pragma once
#include <stdexcept>
#include <string>

namespace lt {

// The one error type of the program: every failure is raised as an Error
// (or a class derived from it) carrying the message the user will read.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Text shown by the application's default error box: the message with a "."
// appended when its last byte sorts after "." in character-code order.
std::string errorBoxText(const std::string& message);

} // namespace lt
