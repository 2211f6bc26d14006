// The appending services of the SQL writers and the per-write memory of quoted names.
#include "model/QBSQLText.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBModelBase.h"
#include "parser/QBParser.h"

#include <array>

namespace {

// The remembered answers: a small open-addressed table, emptied by bumping the generation.
// A name the scanner leaves as it is (the usual case) keeps no copy of its answer.
struct TQuoteMemory {
    struct TEntry {
        std::uint32_t Generation = 0;
        bool Kind = false;  // QuoteIdentifier's answer, not QuoteName's
        bool Unchanged = false;
        std::string Name;
        std::string Quoted;
    };
    static constexpr std::size_t kSlots = 64;
    // Past this many names the table stops taking new ones (probes stay short).
    static constexpr int kMaxNames = 48;

    const TQBSQLScanner* Scanner = nullptr;
    int Depth = 0;
    int Names = 0;
    std::uint32_t Generation = 1;
    std::array<TEntry, kSlots> Entries;
};

thread_local TQuoteMemory Memory;

// Length and three bytes tell the few names of one statement apart well enough; the probe
// compares whole names anyway.
std::size_t HashName(const std::string& Name) {
    const std::size_t size = Name.size();
    if (size == 0) return 0;
    const auto at = [&Name](std::size_t i) { return static_cast<std::size_t>(static_cast<unsigned char>(Name[i])); };
    return size * 7 + at(0) * 3 + at(size / 2) * 5 + at(size - 1);
}

}  // namespace

void AppendFormatted(std::string& Out, std::string_view Text, TQBFormatMode Mode) {
    if (Mode == qfmAsIs)
        Out += Text;
    else
        Out += ApplyFormatMode(Text, Mode);
}

void AppendKeyword(std::string& Out, const TQBSelectParser* Parser, std::string_view Text) {
    AppendFormatted(Out, Text, Parser ? Parser->GetScriptFormat().KeywordsFormat : qfmAsIs);
}

void AppendFunctionName(std::string& Out, const TQBSelectParser* Parser, std::string_view Name) {
    AppendFormatted(Out, Name, Parser ? Parser->GetScriptFormat().FunctionsFormat : qfmAsIs);
}

namespace {

enum TQuoting : bool { qtName = false, qtIdentifier = true };

std::string Quote(const TQBSQLScanner& Scanner, const std::string& Name, TQuoting Kind) {
    return Kind == qtName ? Scanner.QuoteName(Name) : Scanner.QuoteIdentifier(Name);
}

void AppendQuoted(std::string& Out, const TQBSQLScanner* Scanner, const std::string& Name,
                  TQuoting Kind) {
    if (!Scanner) {
        Out += Name;
        return;
    }
    TQuoteMemory& memory = Memory;
    if (memory.Depth == 0 || Scanner != memory.Scanner) {
        Out += Quote(*Scanner, Name, Kind);
        return;
    }
    std::size_t slot = (HashName(Name) + Kind) % TQuoteMemory::kSlots;
    for (;; slot = (slot + 1) % TQuoteMemory::kSlots) {
        TQuoteMemory::TEntry& entry = memory.Entries[slot];
        if (entry.Generation != memory.Generation) break;
        if (entry.Kind == Kind && entry.Name == Name) {
            Out += entry.Unchanged ? Name : entry.Quoted;
            return;
        }
    }
    const std::size_t start = Out.size();
    Out += Quote(*Scanner, Name, Kind);
    if (memory.Names < TQuoteMemory::kMaxNames) {
        TQuoteMemory::TEntry& entry = memory.Entries[slot];
        ++memory.Names;
        entry.Generation = memory.Generation;
        entry.Kind = Kind;
        entry.Name = Name;
        const std::string_view quoted = std::string_view(Out).substr(start);
        entry.Unchanged = quoted == Name;
        if (!entry.Unchanged) entry.Quoted = quoted;
    }
}

}  // namespace

void AppendQuotedName(std::string& Out, const TQBSQLScanner* Scanner, const std::string& Name) {
    AppendQuoted(Out, Scanner, Name, qtName);
}

void AppendQuotedIdentifier(std::string& Out, const TQBSQLScanner* Scanner, const std::string& Name) {
    AppendQuoted(Out, Scanner, Name, qtIdentifier);
}

void AppendAlias(std::string& Out, const TQBSelectParser* Parser, const std::string& Text) {
    const TQBSQLScanner* scanner = Parser ? Parser->GetScanner() : nullptr;
    if (scanner && scanner->QuoteAliases())
        AppendQuotedName(Out, scanner, Text);
    else
        Out += Text;
}

const TQBSQLScanner* CollectionScanner(const TQBCollectionItem& Item) {
    const TQBCollection* collection = Item.GetQBCollection();
    const TQBSelectParser* parser = collection ? collection->GetParser() : nullptr;
    return parser ? parser->GetScanner() : nullptr;
}

TQBNameParts SplitQualifiedName(const std::string& Name, char Open, char Close) {
    TQBNameParts parts;
    parts.Qualifier = ExtractQualifier(Name, Open, Close);
    parts.Last = parts.Qualifier.empty() ? Name : Name.substr(parts.Qualifier.size() + 1);
    return parts;
}

TQBQuoteScope::TQBQuoteScope(const TQBSQLScanner* Scanner) {
    TQuoteMemory& memory = Memory;
    // An inner scope keeps the memory of the outer one.
    if (memory.Depth++ > 0) return;
    memory.Scanner = Scanner;
    memory.Names = 0;
    if (++memory.Generation == 0) {
        // After 2^32 writes a stale generation could match again: wipe them once.
        for (TQuoteMemory::TEntry& entry : memory.Entries) entry.Generation = 0;
        memory.Generation = 1;
    }
}

TQBQuoteScope::~TQBQuoteScope() {
    TQuoteMemory& memory = Memory;
    if (--memory.Depth == 0) memory.Scanner = nullptr;
}
