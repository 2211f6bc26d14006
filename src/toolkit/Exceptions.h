// The exception base of the whole system. Every error caused by what the user typed,
// loaded or what the server said derives from EQBException and carries a UTF-8 message.
#pragma once

#include <stdexcept>
#include <string>

class EQBException : public std::runtime_error {
public:
    explicit EQBException(const std::string& message) : std::runtime_error(message) {}
    const std::string Message() const { return what(); }
};

// Formats a message-table text that holds one "%s" (or "%d") with the given argument.
std::string FormatMessage(const char* format, const std::string& argument);
