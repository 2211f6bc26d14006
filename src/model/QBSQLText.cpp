// The appending services of the SQL writers and the per-write memory of quoted names.
#include "model/QBSQLText.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBModelBase.h"

#include <array>
#include <cstring>
#include <typeinfo>

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

    // The answers for names held by the model, by the string's place: a qualifier written
    // ten times is looked at once. One slot per place; a clash only costs a new look.
    static constexpr std::size_t kPlacedSlots = 32;
    struct TPlaced {
        const std::string* Name = nullptr;
        const char* Data = nullptr;
        std::size_t Size = 0;
        std::uint32_t Generation = 0;
        bool Wrapped = false;  // the name goes between identifier quotes; else as it is
    };

    const TQBSQLScanner* Scanner = nullptr;
    bool BaseQuoting = false;  // HasBaseQuoting(*Scanner)
    int Depth = 0;
    int Names = 0;
    std::uint32_t Generation = 1;
    TEntry Entries[kSlots] = {};
    TPlaced Placed[kPlacedSlots] = {};
};

constinit thread_local TQuoteMemory Memory{};

// Length and three bytes tell the few names of one statement apart well enough; the probe
// compares whole names anyway.
std::size_t HashName(std::string_view Name) {
    const std::size_t size = Name.size();
    if (size == 0) return 0;
    const auto at = [&Name](std::size_t i) {
        return static_cast<std::size_t>(static_cast<unsigned char>(Name[i]));
    };
    return size * 7 + at(0) * 3 + at(size / 2) * 5 + at(size - 1);
}

}  // namespace

void AppendRecased(std::string& Out, std::string_view Text, TQBFormatMode Mode) {
    Out += ApplyFormatMode(Text, Mode);
}

void AppendKeywordPhraseRecased(std::string& Out, const TQBDialect* Parser,
                                std::string_view Phrase) {
    const auto separator = [](char c) { return c == ' ' || c == '\r' || c == '\n'; };
    std::size_t i = 0;
    while (i < Phrase.size()) {
        std::size_t end = i;
        const bool blank = separator(Phrase[i]);
        while (end < Phrase.size() && separator(Phrase[end]) == blank) ++end;
        if (blank)
            Out.append(Phrase.substr(i, end - i));
        else
            AppendKeyword(Out, Parser, Phrase.substr(i, end - i));
        i = end;
    }
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

// The scanners whose quoting rules are those of TQBSQLScanner itself, whatever else they
// change: for them a plain name's answer is known without asking.
bool HasBaseQuoting(const TQBSQLScanner& Scanner) {
    const std::type_info& type = typeid(Scanner);
    return type == typeid(TQBMSSQLScanner) || type == typeid(TQBSQLScanner);
}

// HasBaseQuoting(Scanner), remembered for the scanner of the quote scope.
bool UsesBaseQuoting(const TQBSQLScanner& Scanner) {
    const TQuoteMemory& memory = Memory;
    if (memory.Depth > 0 && &Scanner == memory.Scanner) return memory.BaseQuoting;
    return HasBaseQuoting(Scanner);
}

// Classes of the bytes of the names whose quoting is known here: ASCII letters, digits,
// '_' and the blank, none of them a quote or a point for any scanner with base quoting.
enum : std::uint8_t { bcLetter = 1, bcIdentChar = 2, bcSimple = 4 };
constexpr auto ByteClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    for (int ch = 0; ch < 256; ++ch) {
        const bool letter = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
        const bool identChar = letter || (ch >= '0' && ch <= '9') || ch == '_';
        const bool simple = identChar || ch == ' ';
        classes[static_cast<std::size_t>(ch)] = static_cast<std::uint8_t>(
            (letter ? bcLetter : 0) | (identChar ? bcIdentChar : 0) | (simple ? bcSimple : 0));
    }
    return classes;
}();

// What QuoteName and QuoteIdentifier of a scanner with base quoting make of a name.
enum TKnownQuoting { kqAsk, kqUnchanged, kqWrapped };

// The answer for Name without asking the scanner, where it is known: a name of simple
// bytes needs quotes unless it is a plain identifier (a letter, then letters, digits and
// '_') that is no keyword or function, and it is then wrapped whole in the identifier
// quotes (it has no point to split at, no quote to strip or double). kqAsk otherwise.
[[gnu::always_inline]] inline TKnownQuoting KnownQuoting(const TQBSQLScanner& Scanner,
                                                         std::string_view Name) {
    if (Name.empty()) return kqAsk;
    const auto* byte = reinterpret_cast<const unsigned char*>(Name.data());
    const auto* end = byte + Name.size();
    const std::uint8_t first = ByteClasses[*byte];
    std::uint8_t all = first;
    while (++byte != end) all &= ByteClasses[*byte];
    if ((all & bcSimple) == 0) return kqAsk;
    if (!UsesBaseQuoting(Scanner)) return kqAsk;
    if ((first & bcLetter) == 0 || (all & bcIdentChar) == 0) return kqWrapped;
    const std::uint8_t flags = Scanner.WordFlags(Name);
    return (flags & (qwfKeyword | qwfFunction)) == 0 ? kqUnchanged : kqWrapped;
}

// The scanner's answer for Name, remembered while a quote scope is alive.
[[gnu::noinline]] void AppendAsked(std::string& Out, const TQBSQLScanner* Scanner,
                                   std::string_view Name, const std::string* Whole, TQuoting Kind) {
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
    if (memory.Names >= TQuoteMemory::kMaxNames ||
        (!unchanged && quoted.size() >= TQuoteMemory::kQuotedBytes))
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

bool IsKnownUnquoted(const TQBSQLScanner& Scanner, const std::string& Name) {
    return KnownQuoting(Scanner, Name) == kqUnchanged;
}

namespace {

// Appends Name as a known answer (kqUnchanged or kqWrapped) gives it.
[[gnu::always_inline]] inline void AppendKnown(std::string& Out, const TQBSQLScanner& Scanner,
                                               std::string_view Name, TKnownQuoting Known) {
    if (Known == kqUnchanged) {
        Out += Name;
        return;
    }
    const char open = Scanner.IdentQuoteChar();
    Out += open;
    Out += Name;
    Out += Scanner.ClosingQuote(open);
}

// Kept apart from the scanner's answer so that the common plain name takes the short way.
[[gnu::always_inline]] inline void AppendQuoted(std::string& Out, const TQBSQLScanner* Scanner,
                                                std::string_view Name, const std::string* Whole,
                                                TQuoting Kind) {
    if (!Scanner) {
        Out += Name;
        return;
    }
    const TKnownQuoting known = KnownQuoting(*Scanner, Name);
    if (known == kqAsk)
        AppendAsked(Out, Scanner, Name, Whole, Kind);
    else
        AppendKnown(Out, *Scanner, Name, known);
}

}  // namespace

void AppendQuotedName(std::string& Out, const TQBSQLScanner* Scanner, const std::string& Name) {
    AppendQuoted(Out, Scanner, Name, &Name, qtName);
}

namespace {

// KnownQuoting's answer for a name held by the model, remembered by the string's place
// while a quote scope of Scanner is alive.
[[gnu::always_inline]] inline TKnownQuoting KnownModelQuoting(const TQBSQLScanner& Scanner,
                                                              const std::string& Name) {
    TQuoteMemory& memory = Memory;
    if (memory.Depth == 0 || &Scanner != memory.Scanner) return KnownQuoting(Scanner, Name);
    const auto place = reinterpret_cast<std::uintptr_t>(&Name);
    // The top five bits of a multiplicative hash pick one of the 32 slots.
    static_assert(TQuoteMemory::kPlacedSlots == 32);
    TQuoteMemory::TPlaced& entry = memory.Placed[((place >> 4) * 0x9E3779B97F4A7C15u) >> 59];
    // The text is compared by place and size only: the model does not change while writing.
    if (entry.Generation == memory.Generation && entry.Name == &Name && entry.Data == Name.data() &&
        entry.Size == Name.size())
        return entry.Wrapped ? kqWrapped : kqUnchanged;
    const TKnownQuoting known = KnownQuoting(Scanner, Name);
    if (known != kqAsk)
        entry = {&Name, Name.data(), Name.size(), memory.Generation, known == kqWrapped};
    return known;
}

}  // namespace

void AppendQuotedModelName(std::string& Out, const TQBSQLScanner* Scanner,
                           const std::string& Name) {
    if (!Scanner) {
        Out += Name;
        return;
    }
    const TKnownQuoting known = KnownModelQuoting(*Scanner, Name);
    if (known == kqAsk)
        AppendAsked(Out, Scanner, Name, &Name, qtName);
    else
        AppendKnown(Out, *Scanner, Name, known);
}

bool IsKnownUnquotedModelName(const TQBSQLScanner& Scanner, const std::string& Name) {
    return KnownModelQuoting(Scanner, Name) == kqUnchanged;
}

void AppendQuotedName(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name) {
    AppendQuoted(Out, Scanner, Name, nullptr, qtName);
}

void AppendQuotedIdentifier(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name) {
    AppendQuoted(Out, Scanner, Name, nullptr, qtIdentifier);
}

void AppendQuotedString(std::string& Out, const TQBSQLScanner& Scanner, const std::string& Text) {
    if (!UsesBaseQuoting(Scanner)) {
        Out += Scanner.QuoteString(Text);
        return;
    }
    // The base rule, written in place: a literal already quoted stays; else it is quoted
    // with its quotes doubled.
    const char quote = Scanner.StringQuoteChar();
    if (Text.size() > 1 && Text.front() == quote && Text.back() == quote) {
        Out += Text;
        return;
    }
    Out += quote;
    for (std::size_t from = 0;;) {
        const std::size_t at = Text.find(quote, from);
        if (at == std::string::npos) {
            Out.append(Text, from);
            break;
        }
        Out.append(Text, from, at + 1 - from);
        Out += quote;
        from = at + 1;
    }
    Out += quote;
}

void AppendAlias(std::string& Out, const TQBDialect* Parser, const std::string& Text) {
    const TQBSQLScanner* scanner = Parser ? Parser->GetScanner() : nullptr;
    if (scanner && scanner->QuoteAliases())
        AppendQuotedName(Out, scanner, Text);
    else
        Out += Text;
}

void AppendModelAlias(std::string& Out, const TQBDialect* Parser, const std::string& Alias) {
    const TQBSQLScanner* scanner = Parser ? Parser->GetScanner() : nullptr;
    if (scanner && scanner->QuoteAliases())
        AppendQuotedModelName(Out, scanner, Alias);
    else
        Out += Alias;
}

const TQBSQLScanner* CollectionScanner(const TQBCollectionItem& Item) {
    const TQBCollection* collection = Item.GetQBCollection();
    const TQBDialect* parser = collection ? collection->GetParser() : nullptr;
    return parser ? parser->GetScanner() : nullptr;
}

namespace {

// Name split at the point after its first Length bytes; npos: no qualifier.
TQBNameParts SplitAt(std::string_view Name, std::size_t Length) {
    if (Length == std::string_view::npos) return {std::string_view(), Name};
    return {Name.substr(0, Length), Name.substr(Length + 1)};
}

}  // namespace

TQBNameParts SplitQualifiedName(std::string_view Name, char Open, char Close) {
    // Without quotes the last point separates (one at the very start does not): one pass.
    std::size_t point = 0;
    for (std::size_t i = 0; i < Name.size(); ++i) {
        const char ch = Name[i];
        if (ch == '.')
            point = i;
        else if (ch == Open || ch == Close)
            return SplitAt(Name, QualifierLength(Name, Open, Close));
    }
    return SplitAt(Name, point == 0 ? std::string_view::npos : point);
}

TQBQuoteScope::TQBQuoteScope(const TQBSQLScanner* Scanner) {
    TQuoteMemory& memory = Memory;
    // An inner scope keeps the memory of the outer one.
    if (memory.Depth++ > 0) return;
    memory.Scanner = Scanner;
    memory.BaseQuoting = Scanner && HasBaseQuoting(*Scanner);
    memory.Names = 0;
    if (++memory.Generation == 0) {
        // After 2^32 writes a stale generation could match again: wipe them once.
        for (TQuoteMemory::TEntry& entry : memory.Entries) entry.Generation = 0;
        for (TQuoteMemory::TPlaced& entry : memory.Placed) entry.Generation = 0;
        memory.Generation = 1;
    }
}

TQBQuoteScope::~TQBQuoteScope() {
    TQuoteMemory& memory = Memory;
    if (--memory.Depth == 0) memory.Scanner = nullptr;
}
