// korvel-sql tokens: prints every token of a statement with its line, column and kinds, up to
// and including the first token that ends the text.
#include "CliCommand.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBParserError.h"

#include <iostream>
#include <memory>

namespace {

int TokensUsage(const std::string& problem) {
    std::cerr << "korvel-sql tokens: " << problem
              << "\nusage: korvel-sql tokens [--dialect=mssql|base] [--alter-quotes] [FILE|-]\n";
    return ExitUsage;
}

void PrintToken(const TQBSQLScanner& scanner) {
    std::cout << scanner.GetLine() << '\t' << scanner.GetColumn() << '\t'
              << TokenKindsText(scanner.GetTokenKinds()) << '\t'
              << EscapeText(scanner.GetToken()) << '\n';
}

int RunTokens(const std::vector<std::string>& args) {
    std::string dialect = "mssql";
    bool alterQuotes = false;
    std::string fileName;
    bool haveFile = false;
    for (const auto& argument : args) {
        std::string name;
        std::string value;
        if (argument != "-" && SplitOption(argument, name, value)) {
            if (name == "dialect" && (value == "mssql" || value == "base"))
                dialect = value;
            else if (name == "alter-quotes" && argument == "--alter-quotes")
                alterQuotes = true;
            else
                return TokensUsage("unknown option " + argument);
        } else if (!haveFile) {
            fileName = argument;
            haveFile = true;
        } else {
            return TokensUsage("more than one input file");
        }
    }

    std::unique_ptr<TQBSQLScanner> scanner;
    if (dialect == "mssql") {
        auto ms = MakeScanner<TQBMSSQLScanner>();
        ms->SetAlterQuotes(alterQuotes);
        scanner = std::move(ms);
    } else {
        // The base dialect's double quote already quotes identifiers and strings alike.
        scanner = MakeScanner<TQBSQLScanner>();
    }

    const std::string text = ReadInputText(fileName);
    try {
        scanner->SetText(text);
        PrintToken(*scanner);
        std::string token;
        while (!scanner->GetTokenKinds().Contains(qtkEnd)) {
            scanner->NextToken(token);
            PrintToken(*scanner);
        }
    } catch (const EQBParserError& error) {
        std::cout.flush();
        std::cerr << "error " << error.ErrorCode << " at line " << error.LineNo << ", position "
                  << error.LinePos << ": " << error.what() << '\n';
        return ExitError;
    }
    return ExitOk;
}

const CommandRegistration reg("tokens", &RunTokens);

}  // namespace
