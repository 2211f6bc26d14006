// The message table: every text the system shows or reports, as named constants.
// No text is written twice; code refers to these names. Texts containing "%s" or "%d"
// are formatted with FormatMessage (toolkit/Exceptions.h).
#pragma once

namespace QBResource {

// --- Lexer and parser errors ---
// Parse error texts by code (EQBParserError); the first holds the token, position and line.
inline constexpr const char* SQBParserUnexpectedToken = "无效 '%s' 位置 %d 行 %d";
inline constexpr const char* SQBParserUnexpectedEnd = "未处理的异常.";
inline constexpr const char* SQBParserUnterminatedString = "未结束的字符串.";
inline constexpr const char* SQBParserFieldNotFound = "字段 '%s' 没有发现.";
inline constexpr const char* SQBParserInvalidJoin = "非法的Join表达式.";
inline constexpr const char* SQBParserUnknownError = "未知错误 (#%d)";

// --- Query model ---

// --- Data access ---

// --- Diagram ---

}  // namespace QBResource
