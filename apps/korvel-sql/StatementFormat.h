// Formatting statements outside the control: a parser configured from the command-line
// options (dialect, letter cases, brackets, identifier case, quote meaning), one statement
// or a batch of statements separated by GO lines, with errors in the tool's one-line form.
// korvel-sql format/model share this with the golden tests, the fuzz target and the
// benchmarks (library korvel_statement_format).
#pragma once

#include "model/QBScriptFormat.h"
#include "parser/QBParser.h"

#include <memory>
#include <string>

struct TQBFormatOptions {
    bool MSDialect = true;
    TQBScriptFormat ScriptFormat;
    bool CaseSensitive = false;
    bool AlterQuotes = false;
    bool Batch = false;
};

// Applies one command-line option ("dialect", "keywords", "functions", "brackets",
// "case-sensitive", "alter-quotes", "batch") with its value; false for an unknown option or
// a bad value.
bool ApplyFormatOption(TQBFormatOptions& Options, const std::string& Name, const std::string& Value);

// A parser of the chosen dialect set up with Options (no error handler).
std::unique_ptr<TQBSelectParser> MakeFormatParser(const TQBFormatOptions& Options);

struct TQBFormatResult {
    bool Ok = false;
    // The generated statement (exactly as generated) when Ok.
    std::string Text;
    // When not Ok: "error <code> at line L, position P: <message>" for a parse error, else
    // "error: <message>".
    std::string Error;
};

// Parses Text with Parser and writes it back. Text begins after LinesBefore lines of a
// longer text: error lines count from the start of that text.
TQBFormatResult FormatStatement(TQBSelectParser& Parser, const std::string& Text,
                                int LinesBefore = 0);

// Formats every statement of Text (separated by lines holding only GO) and joins the results
// with "GO" lines; a statement in error becomes the line "-- <error>", its line counted in
// the whole of Text.
std::string FormatBatch(TQBSelectParser& Parser, const std::string& Text);
