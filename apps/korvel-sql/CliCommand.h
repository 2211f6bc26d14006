// Sub-commands of korvel-sql register themselves here; main() dispatches on the first argument.
#pragma once

#include <string>
#include <vector>

using CliCommandFunction = int (*)(const std::vector<std::string>& args);

// Exit statuses shared by every command.
inline constexpr int ExitOk = 0;
inline constexpr int ExitError = 1;
inline constexpr int ExitUsage = 2;

struct CommandRegistration {
    CommandRegistration(const char* name, CliCommandFunction function);
};

// Reads FILE, or standard input when the name is empty or "-"; throws EQBException when
// the file cannot be read.
std::string ReadInputText(const std::string& fileName);

// Splits "--name=value" into name and value; returns false when the argument is no option.
bool SplitOption(const std::string& argument, std::string& name, std::string& value);

// Text with "\" written "\\", tab "\t", CR "\r" and LF "\n", so that a value or token stays
// on its line and in its tab-separated field.
std::string EscapeText(const std::string& text);
