// The kinds of a scanned token: a 16-bit flag set, several flags may be set at once.
#pragma once

#include <cstdint>
#include <string>

enum TQBTokenKind : std::uint16_t {
    qtkKeyword = 0x0001,     // in the keyword list
    qtkFunction = 0x0002,    // in the function list
    qtkSymbol = 0x0004,      // a single delimiter character (a lone carriage return too)
    qtkInteger = 0x0008,     // digits only
    qtkFloat = 0x0010,       // digits, a point, and zero or more digits
    qtkString = 0x0020,      // text read between string quotes
    qtkQuote = 0x0040,       // an opening or closing quote (skipped by the reader)
    qtkSpace = 0x0080,       // a blank, a tab or a comment (skipped by the reader)
    qtkLineBreak = 0x0100,   // CR LF or a lone LF (skipped by the reader)
    qtkEnd = 0x0200,         // end of the text, or the token ";"
    qtkIdentifier = 0x0400,  // a plain identifier or text read between identifier quotes
    qtkArithmetic = 0x0800,  // in the arithmetic operator list
    qtkComparison = 0x1000,  // in the comparison list
    qtkBoolean = 0x2000,     // the true or false literal
    qtkOperator = 0x4000,    // in the extra symbol operator list
};

class TQBTokenKinds {
public:
    constexpr TQBTokenKinds() = default;
    constexpr TQBTokenKinds(TQBTokenKind Kind) : FBits(Kind) {}
    static constexpr TQBTokenKinds FromBits(std::uint16_t Bits) {
        TQBTokenKinds kinds;
        kinds.FBits = Bits;
        return kinds;
    }

    constexpr std::uint16_t Bits() const { return FBits; }
    constexpr bool Empty() const { return FBits == 0; }
    // True when Kind is in the set.
    constexpr bool Contains(TQBTokenKind Kind) const { return (FBits & Kind) != 0; }
    // True when the sets share at least one kind.
    constexpr bool ContainsAny(TQBTokenKinds Kinds) const { return (FBits & Kinds.FBits) != 0; }
    // True when every kind of Kinds is in the set.
    constexpr bool ContainsAll(TQBTokenKinds Kinds) const {
        return (FBits & Kinds.FBits) == Kinds.FBits;
    }
    constexpr TQBTokenKinds& Include(TQBTokenKinds Kinds) {
        FBits = static_cast<std::uint16_t>(FBits | Kinds.FBits);
        return *this;
    }
    constexpr TQBTokenKinds& Exclude(TQBTokenKinds Kinds) {
        FBits = static_cast<std::uint16_t>(FBits & ~Kinds.FBits);
        return *this;
    }

    constexpr TQBTokenKinds& operator|=(TQBTokenKinds Kinds) { return Include(Kinds); }
    constexpr friend TQBTokenKinds operator|(TQBTokenKinds A, TQBTokenKinds B) {
        return FromBits(static_cast<std::uint16_t>(A.FBits | B.FBits));
    }
    constexpr friend TQBTokenKinds operator&(TQBTokenKinds A, TQBTokenKinds B) {
        return FromBits(static_cast<std::uint16_t>(A.FBits & B.FBits));
    }
    // Set difference: the kinds of A that are not in B.
    constexpr friend TQBTokenKinds operator-(TQBTokenKinds A, TQBTokenKinds B) {
        return FromBits(static_cast<std::uint16_t>(A.FBits & ~B.FBits));
    }
    constexpr bool operator==(const TQBTokenKinds&) const = default;

private:
    std::uint16_t FBits = 0;
};

constexpr TQBTokenKinds operator|(TQBTokenKind A, TQBTokenKind B) {
    return TQBTokenKinds(A) | TQBTokenKinds(B);
}

// The name of one flag ("qtkKeyword"), or empty for a value that is no single flag.
const char* TokenKindName(TQBTokenKind Kind);

// The names of the set flags in ascending bit order joined by '|', or "-" for the empty set.
std::string TokenKindsText(TQBTokenKinds Kinds);
