// Statement formatting for the command-line tool and the golden tests.
#include "korvel-sql/StatementFormat.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBParserError.h"
#include "parser/QBMSParser.h"
#include "toolkit/TextCompare.h"

namespace {

bool ParseFormatMode(const std::string& Value, TQBFormatMode& Mode) {
    if (Value == "asis") Mode = qfmAsIs;
    else if (Value == "upper") Mode = qfmUpperCase;
    else if (Value == "lower") Mode = qfmLowerCase;
    else if (Value == "first") Mode = qfmFirstUpper;
    else return false;
    return true;
}

// True when Line (without its line end) holds only GO, blanks around it allowed. Looked at
// in place: every line of a batch passes here.
bool IsGoLine(std::string_view Line) {
    std::size_t first = 0;
    std::size_t last = Line.size();
    while (first < last && static_cast<unsigned char>(Line[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(Line[last - 1]) <= ' ') --last;
    return SameText(Line.substr(first, last - first), "GO");
}

}  // namespace

bool ApplyFormatOption(TQBFormatOptions& Options, const std::string& Name, const std::string& Value) {
    if (Name == "dialect") {
        if (Value != "mssql" && Value != "base") return false;
        Options.MSDialect = Value == "mssql";
        return true;
    }
    if (Name == "keywords") return ParseFormatMode(Value, Options.ScriptFormat.KeywordsFormat);
    if (Name == "functions") return ParseFormatMode(Value, Options.ScriptFormat.FunctionsFormat);
    if (Name == "brackets") {
        if (Value != "on" && Value != "off") return false;
        Options.ScriptFormat.AlwaysBracketConditions = Value == "on";
        return true;
    }
    bool* flag = Name == "case-sensitive" ? &Options.CaseSensitive
                 : Name == "alter-quotes" ? &Options.AlterQuotes
                 : Name == "batch"        ? &Options.Batch
                                          : nullptr;
    if (!flag || !Value.empty()) return false;
    *flag = true;
    return true;
}

std::unique_ptr<TQBSelectParser> MakeFormatParser(const TQBFormatOptions& Options) {
    std::unique_ptr<TQBSelectParser> parser;
    if (Options.MSDialect)
        parser = MakeParser<TQBMSSelectParser>();
    else
        parser = MakeParser<TQBSelectParser>();
    parser->SetScriptFormat(Options.ScriptFormat);
    parser->SetCaseSensitiveIdentifiers(Options.CaseSensitive);
    if (auto* scanner = dynamic_cast<TQBMSSQLScanner*>(parser->GetScanner()))
        scanner->SetAlterQuotes(Options.AlterQuotes);
    return parser;
}

TQBFormatResult FormatStatement(TQBSelectParser& Parser, const std::string& Text, int LinesBefore) {
    TQBFormatResult result;
    try {
        Parser.ParseSQL(Text);
        result.Text = Parser.GetSQL();
        result.Ok = true;
    } catch (const EQBParserError& error) {
        const int line = error.LineNo + LinesBefore;
        const std::string message =
            LinesBefore == 0 ? std::string(error.what())
                             : EQBParserError::MessageFor(error.ErrorCode, error.Token, line, error.LinePos);
        result.Error = "error " + std::to_string(error.ErrorCode) + " at line " +
                       std::to_string(line) + ", position " + std::to_string(error.LinePos) +
                       ": " + message;
    } catch (const std::exception& error) {
        result.Error = std::string("error: ") + error.what();
    }
    return result;
}

std::string FormatBatch(TQBSelectParser& Parser, const std::string& Text) {
    std::string output, statement;
    output.reserve(Text.size() + Text.size() / 4);
    bool first = true;
    int lines = 0;           // lines of Text read so far
    int statementStart = 0;  // lines of Text before the statement being collected
    const auto flush = [&] {
        if (!first) output += "GO\r\n";
        first = false;
        const TQBFormatResult result = FormatStatement(Parser, statement, statementStart);
        output += result.Ok ? result.Text : "-- " + result.Error + "\r\n";
        statement.clear();
    };
    std::size_t start = 0;
    while (start < Text.size()) {
        std::size_t end = Text.find('\n', start);
        const std::size_t next = end == std::string::npos ? Text.size() : end + 1;
        if (end == std::string::npos) end = Text.size();
        const std::string_view line(Text.data() + start, end - start);
        ++lines;
        if (IsGoLine(line)) {
            flush();
            statementStart = lines;
        } else {
            statement.append(Text, start, next - start);
        }
        start = next;
    }
    flush();
    return output;
}
