// korvel-sql format: parses a statement (or, with --batch, statements separated by GO lines)
// and writes the generated SQL exactly as generated.
#include "CliCommand.h"

#include "korvel-sql/StatementFormat.h"

#include <iostream>

namespace {

int RunFormat(const std::vector<std::string>& args) {
    TQBFormatOptions options;
    std::string file;
    for (const std::string& arg : args) {
        std::string name, value;
        if (SplitOption(arg, name, value)) {
            if (!ApplyFormatOption(options, name, value)) {
                std::cerr << "korvel-sql format: bad option " << arg << '\n';
                return ExitUsage;
            }
        } else if (file.empty()) {
            file = arg;
        } else {
            std::cerr << "korvel-sql format: more than one input file\n";
            return ExitUsage;
        }
    }
    const std::string text = ReadInputText(file);
    auto parser = MakeFormatParser(options);
    if (options.Batch) {
        std::cout << FormatBatch(*parser, text);
        return ExitOk;
    }
    const TQBFormatResult result = FormatStatement(*parser, text);
    if (!result.Ok) {
        std::cerr << result.Error << '\n';
        return ExitError;
    }
    std::cout << result.Text;
    return ExitOk;
}

const CommandRegistration reg("format", &RunFormat);

}  // namespace
