// The appending services of the SQL writers and the per-write memory of quoted names.
#include "model/QBSQLText.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBModelBase.h"
#include "parser/QBParser.h"

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

// Reaches the scanner's one-probe word test, which is protected: a pointer to member
// formed through a derived class may be applied to any scanner.
struct TWordFlagsAccess : TQBSQLScanner {
    static std::uint8_t Of(const TQBSQLScanner& Scanner, const std::string& Word) {
        return (Scanner.*(&TWordFlagsAccess::WordFlags))(Word);
    }
};

// The scanners whose quoting rules are those of TQBSQLScanner itself, whatever else they
// change: for them a plain name's answer is known without asking.
bool HasBaseQuoting(const TQBSQLScanner& Scanner) {
    const std::type_info& type = typeid(Scanner);
    return type == typeid(TQBMSSQLScanner) || type == typeid(TQBSQLScanner);
}

// Classes of the bytes of a plain identifier: an ASCII letter, then ASCII letters, digits
// and '_' (the letters and identifier characters of every scanner with base quoting).
enum : std::uint8_t { pcLetter = 1, pcIdentChar = 2 };
constexpr auto PlainClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    for (int ch = 0; ch < 256; ++ch) {
        const bool letter = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
        const bool identChar = letter || (ch >= '0' && ch <= '9') || ch == '_';
        classes[static_cast<std::size_t>(ch)] =
            static_cast<std::uint8_t>((letter ? pcLetter : 0) | (identChar ? pcIdentChar : 0));
    }
    return classes;
}();

bool IsPlainIdentifier(std::string_view Name) {
    const auto classOf = [](char ch) { return PlainClasses[static_cast<unsigned char>(ch)]; };
    if (Name.empty() || (classOf(Name[0]) & pcLetter) == 0) return false;
    for (std::size_t i = 1; i < Name.size(); ++i)
        if ((classOf(Name[i]) & pcIdentChar) == 0) return false;
    return true;
}

// True when Name comes back unchanged from the scanner's QuoteName and QuoteIdentifier
// without asking them: a plain identifier that is no keyword or function needs no quotes
// and holds no quote to strip.
bool KnownUnquoted(const TQBSQLScanner& Scanner, std::string_view Name, const std::string* Whole) {
    if (!IsPlainIdentifier(Name) || !HasBaseQuoting(Scanner)) return false;
    const std::uint8_t flags = Whole ? TWordFlagsAccess::Of(Scanner, *Whole)
                                     : TWordFlagsAccess::Of(Scanner, std::string(Name));
    return (flags & (qwfKeyword | qwfFunction)) == 0;
}

// The scanner's answer for Name, remembered while a quote scope is alive.
[[gnu::noinline]] void AppendAsked(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name,
                                   const std::string* Whole, TQuoting Kind) {
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

bool IsKnownUnquoted(const TQBSQLScanner& Scanner, const std::string& Name) {
    return KnownUnquoted(Scanner, Name, &Name);
}

namespace {

// Kept apart from the scanner's answer so that the common plain name takes the short way.
void AppendQuoted(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name,
                  const std::string* Whole, TQuoting Kind) {
    if (!Scanner || KnownUnquoted(*Scanner, Name, Whole))
        Out += Name;
    else
        AppendAsked(Out, Scanner, Name, Whole, Kind);
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
