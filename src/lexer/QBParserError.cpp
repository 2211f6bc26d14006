// Parse error messages: the fixed text of each code with its arguments filled in.
#include "lexer/QBParserError.h"

#include "resources/QBResource.h"

std::string EQBParserError::MessageFor(int Code, const std::string& Token, int LineNo,
                                       int LinePos) {
    switch (Code) {
        case qpeUnexpectedToken:
            return FormatMessage(QBResource::SQBParserUnexpectedToken,
                                 {Token, std::to_string(LinePos), std::to_string(LineNo)});
        case qpeUnexpectedEnd:
            return QBResource::SQBParserUnexpectedEnd;
        case qpeUnterminatedString:
            return QBResource::SQBParserUnterminatedString;
        case qpeFieldNotFound:
            return FormatMessage(QBResource::SQBParserFieldNotFound, Token);
        case qpeInvalidJoin:
            return QBResource::SQBParserInvalidJoin;
        default:
            return FormatMessage(QBResource::SQBParserUnknownError, std::to_string(Code));
    }
}

EQBParserError::EQBParserError(int Code, const std::string& Token, int LineNo, int LinePos)
    : EQBException(MessageFor(Code, Token, LineNo, LinePos)),
      ErrorCode(Code),
      LineNo(LineNo),
      LinePos(LinePos),
      Token(Token) {}
