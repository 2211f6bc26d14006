// The check a criterion panel runs on a text the user typed for an expression or a value:
// it must read back as one operand. The text goes verbatim into the statement, so an
// unbalanced quote or parenthesis, a comment, a statement end or a second condition would
// leave a statement that no longer parses or means something else.
#pragma once

#include <string>

class TQBSQLScanner;

// True when Text reads as one operand with Scanner's quotes and word lists (CommaList: a
// comma-separated list of operands, as IN takes). Blank text is accepted: it writes nothing.
// Scanner's text is put back as it was.
bool IsSingleOperandText(TQBSQLScanner& scanner, const std::string& text, bool commaList);
