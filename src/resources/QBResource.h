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
inline constexpr const char* SCannotAssign = "Cannot assign";
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SCannotBuildJoin = "不能对指定的查询构建右连接";
inline constexpr const char* SCantBindLeftTable = "DEBUG: Can't bind to left table";
inline constexpr const char* SCantBindRightTable = "DEBUG: Can't bind to right table";
inline constexpr const char* SCantBindPreferredTable = "DEBUG: Can't bind to preferred table";
inline constexpr const char* SGroupAll = "All";          // 65105
inline constexpr const char* SGroupAny = "Any";          // 65106
inline constexpr const char* SGroupNone = "None";        // 65107
inline constexpr const char* SGroupNotAll = "Not all";   // 65108
inline constexpr const char* SGroupNot = "Not";          // 65109

// --- Data access ---

// --- Diagram ---

}  // namespace QBResource
