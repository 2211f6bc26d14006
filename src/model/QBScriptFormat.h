// The letter case of generated keywords and function names, and whether every condition
// of WHERE/HAVING is bracketed. The parser owns one; the control publishes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum TQBFormatMode : std::uint8_t { qfmAsIs, qfmUpperCase, qfmLowerCase, qfmFirstUpper };

class TQBScriptFormat {
public:
    TQBFormatMode KeywordsFormat = qfmAsIs;
    TQBFormatMode FunctionsFormat = qfmAsIs;
    bool AlwaysBracketConditions = true;

    // Copies the three settings of Source.
    void Assign(const TQBScriptFormat& Source);
    bool operator==(const TQBScriptFormat&) const = default;
};

// Text in the letter case of Mode: unchanged, upper, lower, or first letter and every
// letter after "_" upper with the rest lower (COUNT_BIG -> Count_Big). Empty stays empty.
std::string ApplyFormatMode(std::string_view Text, TQBFormatMode Mode);
