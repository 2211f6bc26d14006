// The exception base of the whole system. Every error caused by what the user typed,
// loaded or what the server said derives from EQBException and carries a UTF-8 message.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

class EQBException : public std::runtime_error {
public:
    explicit EQBException(const std::string& message) : std::runtime_error(message) {}
    const std::string Message() const { return what(); }
};

// Formats a message-table text: each "%s" or "%d", in order, is replaced by the next
// argument; once the arguments are used up the rest of the text is copied as it stands.
std::string FormatMessage(const char* format, std::initializer_list<std::string_view> arguments);

// The same with one argument, the common case of the message table.
inline std::string FormatMessage(const char* format, const std::string& argument) {
    return FormatMessage(format, {std::string_view(argument)});
}
