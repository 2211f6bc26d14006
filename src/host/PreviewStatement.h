// What the result preview may send to the server: one SELECT statement that the builder's
// parser reads completely. Anything else (another kind of statement, a second statement after
// a semicolon, text the parser stops in) is refused before it reaches the connection.
#pragma once

#include <string>

// Empty when `text` may be previewed; otherwise the message that tells the user why not.
std::string PreviewStatementError(const std::string& text, bool alterQuotes);
