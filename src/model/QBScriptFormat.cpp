// Letter-case formatting of keywords and function names.
#include "model/QBScriptFormat.h"

#include "toolkit/TextCompare.h"

void TQBScriptFormat::Assign(const TQBScriptFormat& Source) {
    KeywordsFormat = Source.KeywordsFormat;
    FunctionsFormat = Source.FunctionsFormat;
    AlwaysBracketConditions = Source.AlwaysBracketConditions;
}

std::string ApplyFormatMode(std::string_view Text, TQBFormatMode Mode) {
    switch (Mode) {
    case qfmUpperCase:
        return UpperCase(Text);
    case qfmLowerCase:
        return LowerCase(Text);
    case qfmFirstUpper: {
        std::string result(Text);
        for (std::size_t i = 0; i < result.size(); ++i)
            result[i] = (i == 0 || result[i - 1] == '_') ? UpCaseChar(result[i]) : LowCaseChar(result[i]);
        return result;
    }
    case qfmAsIs:
    default:
        return std::string(Text);
    }
}
