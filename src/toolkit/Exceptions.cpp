// Message formatting for the exception texts of the message table.
#include "toolkit/Exceptions.h"

std::string FormatMessage(const char* format, std::initializer_list<std::string_view> arguments) {
    std::string result;
    auto argument = arguments.begin();
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && (p[1] == 's' || p[1] == 'd') && argument != arguments.end()) {
            result += *argument++;
            ++p;
        } else {
            result += *p;
        }
    }
    return result;
}
