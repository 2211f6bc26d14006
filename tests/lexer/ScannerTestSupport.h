// Shared helpers of the scanner tests: read a whole text into a list of tokens with kinds.
#pragma once

#include "lexer/QBScanner.h"

#include <ostream>
#include <string>
#include <vector>

struct ScannedToken {
    std::string Text;
    TQBTokenKinds Kinds;
    bool operator==(const ScannedToken&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ScannedToken& token) {
    return out << '"' << token.Text << "\" " << TokenKindsText(token.Kinds);
}

// All tokens of Text up to, not including, the end token (at most 10000, so a reader that
// stops advancing fails the test instead of hanging it).
inline std::vector<ScannedToken> ScanAll(TQBSQLScanner& scanner, const std::string& text) {
    std::vector<ScannedToken> tokens;
    scanner.SetText(text);
    std::string token = scanner.GetToken();
    for (int guard = 0; guard < 10000 && !scanner.GetTokenKinds().Contains(qtkEnd); ++guard) {
        tokens.push_back({token, scanner.GetTokenKinds()});
        scanner.NextToken(token);
    }
    return tokens;
}

// Only the texts of the tokens.
inline std::vector<std::string> ScanTexts(TQBSQLScanner& scanner, const std::string& text) {
    std::vector<std::string> texts;
    for (const auto& token : ScanAll(scanner, text)) texts.push_back(token.Text);
    return texts;
}
