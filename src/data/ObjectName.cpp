// Splitting dotted object names and quoting their parts for SQL text sent to the server.
#include "data/ObjectName.h"

#include "data/DataConnection.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::vector<std::string> SplitObjectName(const std::string& name) {
    std::vector<std::string> parts(1);
    std::string blanks;    // blanks after the part's text, kept only when more text follows
    bool started = false;  // the part has begun: a quote character is now plain text
    std::size_t i = 0;
    while (i < name.size()) {
        const char c = name[i];
        if ((c == '[' || c == '"') && !started) {
            const char close = c == '[' ? ']' : '"';
            started = true;
            blanks.clear();
            for (++i; i < name.size(); ++i) {
                if (name[i] != close) {
                    parts.back() += name[i];
                } else if (i + 1 < name.size() && name[i + 1] == close) {
                    parts.back() += close;
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else if (c == '.') {
            parts.emplace_back();
            blanks.clear();
            started = false;
            ++i;
        } else if (IsBlank(c)) {
            blanks += c;
            ++i;
        } else {
            if (started) parts.back() += blanks;
            blanks.clear();
            started = true;
            parts.back() += c;
            ++i;
        }
    }
    return parts;
}

std::string QuoteNamePart(const std::string& part, TNameQuote quote) {
    const char open = static_cast<char>(quote);
    const char close = quote == TNameQuote::Bracket ? ']' : '"';
    std::string result(1, open);
    for (const char c : part) {
        result += c;
        if (c == close) result += close;
    }
    result += close;
    return result;
}

std::string QuoteObjectName(const std::string& name, TNameQuote quote) {
    std::string result;
    for (const std::string& part : SplitObjectName(name)) {
        if (!result.empty()) result += '.';
        result += QuoteNamePart(part, quote);
    }
    return result;
}

TNameQuote NameQuoteFor(const TDataConnection& connection, bool alterQuotes) {
    return alterQuotes || connection.IsSQLite() ? TNameQuote::Double : TNameQuote::Bracket;
}
