// The one shape of every error met while SQL text is read into the query model: a code,
// the offending token, and its line and position. The message is fixed by the code.
#pragma once

#include "toolkit/Exceptions.h"

#include <functional>
#include <string>

class TQBSelectParser;

// Error codes.
inline constexpr int qpeUnexpectedToken = 1;
inline constexpr int qpeUnexpectedEnd = 2;
inline constexpr int qpeUnterminatedString = 3;
inline constexpr int qpeFieldNotFound = 4;
inline constexpr int qpeInvalidJoin = 5;

class EQBParserError : public EQBException {
public:
    // Stores the four fields; the message is the text of Code with its arguments filled in.
    EQBParserError(int Code, const std::string& Token, int LineNo, int LinePos);

    int ErrorCode = 0;
    int LineNo = 0;
    int LinePos = 0;
    std::string Token;

    // The message of Code for the given token and place.
    static std::string MessageFor(int Code, const std::string& Token, int LineNo, int LinePos);
};

// Receives a parse error instead of an exception. Sender is the parser that reported it.
using TQBParserErrorEvent =
    std::function<void(TQBSelectParser* Sender, const std::string& ErrorMsg,
                       const std::string& Token, int LineNo, int LinePos)>;
