// Parse error messages: the fixed text of each code with its arguments filled in.
#include "lexer/QBParserError.h"

#include "resources/QBResource.h"

#include <initializer_list>

namespace {

// Replaces each "%s" or "%d" of Format, in order, by the next argument.
std::string FormatArguments(const char* Format, std::initializer_list<std::string> Arguments) {
    std::string result;
    auto argument = Arguments.begin();
    for (const char* p = Format; *p != '\0'; ++p) {
        if (p[0] == '%' && (p[1] == 's' || p[1] == 'd') && argument != Arguments.end()) {
            result += *argument++;
            ++p;
        } else {
            result += *p;
        }
    }
    return result;
}

}  // namespace

std::string EQBParserError::MessageFor(int Code, const std::string& Token, int LineNo,
                                       int LinePos) {
    switch (Code) {
        case qpeUnexpectedToken:
            return FormatArguments(QBResource::SQBParserUnexpectedToken,
                                   {Token, std::to_string(LinePos), std::to_string(LineNo)});
        case qpeUnexpectedEnd:
            return QBResource::SQBParserUnexpectedEnd;
        case qpeUnterminatedString:
            return QBResource::SQBParserUnterminatedString;
        case qpeFieldNotFound:
            return FormatArguments(QBResource::SQBParserFieldNotFound, {Token});
        case qpeInvalidJoin:
            return QBResource::SQBParserInvalidJoin;
        default:
            return FormatArguments(QBResource::SQBParserUnknownError, {std::to_string(Code)});
    }
}

EQBParserError::EQBParserError(int Code, const std::string& Token, int LineNo, int LinePos)
    : EQBException(MessageFor(Code, Token, LineNo, LinePos)),
      ErrorCode(Code),
      LineNo(LineNo),
      LinePos(LinePos),
      Token(Token) {}
