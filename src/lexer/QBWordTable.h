// A hash table over the scanner's word lists so that the reader classifies a token with one
// probe instead of several binary searches. It mirrors the lists and is rebuilt whenever
// one of them changes (the lists' change counters tell), so the lists stay the truth.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TStringList;

enum TQBWordFlag : std::uint8_t {
    qwfKeyword = 0x01,
    qwfFunction = 0x02,
    qwfArithmetic = 0x04,
    qwfSymbolOperator = 0x08,
    qwfComparison = 0x10,
    qwfCriterionOperator = 0x20,
    qwfComparisonPrefix = 0x40,      // the beginning of some comparison entry
    qwfSymbolOperatorPrefix = 0x80,  // the beginning of some extra symbol entry
};

class TQBWordTable {
public:
    // The lists in this order: keywords, functions, arithmetics, symbol operators,
    // comparisons, criterion operators. Non-owning; they outlive the table.
    void Attach(const TStringList* Lists[6]);

    // Flags of Word (ignoring ASCII case); 0 when it is in no list.
    std::uint8_t Lookup(std::string_view Word) const {
        if (IsStale()) Rebuild();
        if (Word.empty() || Word.size() > FLongest) return 0;
        return Probe(Word);
    }
    // Prefix flags of the one-character text Ch: a cheap test before a longer lookup.
    std::uint8_t FirstCharFlags(char Ch) const {
        if (IsStale()) Rebuild();
        return FFirstChars[static_cast<unsigned char>(Ch)];
    }

private:
    struct TEntry {
        std::string Word;  // upper-cased
        std::uint8_t Flags = 0;
    };
    bool IsStale() const;
    void Rebuild() const;
    void AddWord(std::string_view Word, std::uint8_t Flag) const;
    std::uint8_t Probe(std::string_view Word) const;
    static std::size_t Hash(std::string_view Word);

    const TStringList* FLists[6] = {};
    mutable unsigned FSeen[6] = {};
    mutable bool FBuilt = false;
    mutable std::vector<TEntry> FEntries;  // open addressing, size a power of two
    mutable std::size_t FLongest = 0;
    mutable std::array<std::uint8_t, 256> FFirstChars{};
};
