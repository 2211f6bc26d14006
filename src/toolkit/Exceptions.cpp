// Message formatting for the exception texts of the message table.
#include "toolkit/Exceptions.h"

#include <cstring>

std::string FormatMessage(const char* format, const std::string& argument) {
    std::string result;
    const std::size_t length = std::strlen(format);
    result.reserve(length + argument.size());
    bool substituted = false;
    for (std::size_t i = 0; i < length; ++i) {
        if (!substituted && format[i] == '%' && i + 1 < length &&
            (format[i + 1] == 's' || format[i + 1] == 'd')) {
            result += argument;
            substituted = true;
            ++i;
        } else {
            result += format[i];
        }
    }
    return result;
}
