// korvel-sql: the command-line tool over the core and the data layer.
// Each command lives in its own file and registers itself with CommandRegistration.
#include "CliCommand.h"

#include "toolkit/Exceptions.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>

namespace {

std::map<std::string, CliCommandFunction>& Commands() {
    static std::map<std::string, CliCommandFunction> commands;
    return commands;
}

int Usage() {
    std::cerr << "usage: korvel-sql COMMAND [OPTIONS] [FILE|-]\ncommands:";
    for (const auto& entry : Commands()) std::cerr << ' ' << entry.first;
    std::cerr << '\n';
    return ExitUsage;
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, CliCommandFunction function) {
    Commands()[name] = function;
}

std::string ReadInputText(const std::string& fileName) {
    if (fileName.empty() || fileName == "-") {
        std::ostringstream text;
        text << std::cin.rdbuf();
        return text.str();
    }
    std::ifstream file(fileName, std::ios::binary);
    if (!file) throw EQBException("cannot read file " + fileName);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool SplitOption(const std::string& argument, std::string& name, std::string& value) {
    if (argument.size() < 3 || argument.compare(0, 2, "--") != 0) return false;
    const auto equals = argument.find('=');
    name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    value = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
    return true;
}

std::string EscapeText(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\': result += "\\\\"; break;
        case '\t': result += "\\t"; break;
        case '\r': result += "\\r"; break;
        case '\n': result += "\\n"; break;
        default: result += c;
        }
    }
    return result;
}

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (argc < 2) return Usage();
    const auto found = Commands().find(argv[1]);
    if (found == Commands().end()) return Usage();
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        return found->second(args);
    } catch (const std::exception& error) {
        std::cerr << "error: " << error.what() << '\n';
        return ExitError;
    }
}
