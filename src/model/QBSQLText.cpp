// The appending services of the SQL writers and the per-write memory of quoted names.
#include "model/QBSQLText.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBModelBase.h"
#include "parser/QBParser.h"

#include <cstring>

namespace {

// The remembered answers: a small open-addressed table, emptied by bumping the generation.
// Plain bytes only, so the thread's table needs no construction guard on each use; a name
// or answer too long for its slot is simply not remembered.
struct TQuoteMemory {
    static constexpr std::size_t kSlots = 64;
    // Past this many names the table stops taking new ones (probes stay short).
    static constexpr int kMaxNames = 48;
    static constexpr std::size_t kNameBytes = 40;
    static constexpr std::size_t kQuotedBytes = 46;
    // QuotedSize of an answer that is the name itself (the usual case).
    static constexpr std::uint8_t kUnchanged = 0xFF;

    struct TEntry {
        std::uint32_t Generation = 0;
        bool Kind = false;  // QuoteIdentifier's answer, not QuoteName's
        std::uint8_t NameSize = 0;
        std::uint8_t QuotedSize = 0;
        char Name[kNameBytes] = {};
        char Quoted[kQuotedBytes] = {};
    };

    const TQBSQLScanner* Scanner = nullptr;
    int Depth = 0;
    int Names = 0;
    std::uint32_t Generation = 1;
    TEntry Entries[kSlots] = {};
};

constinit thread_local TQuoteMemory Memory{};

// Length and three bytes tell the few names of one statement apart well enough; the probe
// compares whole names anyway.
std::size_t HashName(std::string_view Name) {
    const std::size_t size = Name.size();
    if (size == 0) return 0;
    const auto at = [&Name](std::size_t i) { return static_cast<std::size_t>(static_cast<unsigned char>(Name[i])); };
    return size * 7 + at(0) * 3 + at(size / 2) * 5 + at(size - 1);
}

}  // namespace

void AppendRecased(std::string& Out, std::string_view Text, TQBFormatMode Mode) {
    Out += ApplyFormatMode(Text, Mode);
}

namespace {

enum TQuoting : bool { qtName = false, qtIdentifier = true };

std::string Quote(const TQBSQLScanner& Scanner, const std::string& Name, TQuoting Kind) {
    return Kind == qtName ? Scanner.QuoteName(Name) : Scanner.QuoteIdentifier(Name);
}

// The scanner's answer for Name; Whole, when given, is Name as a string already.
std::string Quote(const TQBSQLScanner& Scanner, std::string_view Name, const std::string* Whole,
                  TQuoting Kind) {
    return Whole ? Quote(Scanner, *Whole, Kind) : Quote(Scanner, std::string(Name), Kind);
}

void AppendQuoted(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name,
                  const std::string* Whole, TQuoting Kind) {
    if (!Scanner) {
        Out += Name;
        return;
    }
    TQuoteMemory& memory = Memory;
    const std::size_t size = Name.size();
    if (memory.Depth == 0 || Scanner != memory.Scanner || size >= TQuoteMemory::kNameBytes) {
        Out += Quote(*Scanner, Name, Whole, Kind);
        return;
    }
    std::size_t slot = (HashName(Name) + Kind) % TQuoteMemory::kSlots;
    for (;; slot = (slot + 1) % TQuoteMemory::kSlots) {
        const TQuoteMemory::TEntry& entry = memory.Entries[slot];
        if (entry.Generation != memory.Generation) break;
        if (entry.Kind == Kind && entry.NameSize == size &&
            std::memcmp(entry.Name, Name.data(), size) == 0) {
            if (entry.QuotedSize == TQuoteMemory::kUnchanged)
                Out += Name;
            else
                Out.append(entry.Quoted, entry.QuotedSize);
            return;
        }
    }
    const std::size_t start = Out.size();
    Out += Quote(*Scanner, Name, Whole, Kind);
    const std::string_view quoted = std::string_view(Out).substr(start);
    const bool unchanged = quoted == Name;
    if (memory.Names >= TQuoteMemory::kMaxNames || (!unchanged && quoted.size() >= TQuoteMemory::kQuotedBytes))
        return;
    TQuoteMemory::TEntry& entry = memory.Entries[slot];
    ++memory.Names;
    entry.Generation = memory.Generation;
    entry.Kind = Kind;
    entry.NameSize = static_cast<std::uint8_t>(size);
    std::memcpy(entry.Name, Name.data(), size);
    if (unchanged) {
        entry.QuotedSize = TQuoteMemory::kUnchanged;
    } else {
        entry.QuotedSize = static_cast<std::uint8_t>(quoted.size());
        std::memcpy(entry.Quoted, quoted.data(), quoted.size());
    }
}

}  // namespace

void AppendQuotedName(std::string& Out, const TQBSQLScanner* Scanner, const std::string& Name) {
    AppendQuoted(Out, Scanner, Name, &Name, qtName);
}

void AppendQuotedName(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name) {
    AppendQuoted(Out, Scanner, Name, nullptr, qtName);
}

void AppendQuotedIdentifier(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name) {
    AppendQuoted(Out, Scanner, Name, nullptr, qtIdentifier);
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

TQBNameParts SplitQualifiedName(std::string_view Name, char Open, char Close) {
    const std::size_t length = QualifierLength(Name, Open, Close);
    if (length == std::string_view::npos) return {std::string_view(), Name};
    return {Name.substr(0, length), Name.substr(length + 1)};
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
