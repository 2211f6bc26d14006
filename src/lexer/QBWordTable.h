// A hash table over the scanner's word lists so that the reader classifies a token with one
// probe instead of several binary searches. It mirrors the lists and is rebuilt whenever
// one of them changes (the lists' change counters tell), so the lists stay the truth.
#pragma once

#include "toolkit/TStringList.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// One word list of the scanner and the flag its words get.
struct TQBWordList {
    const TStringList* List = nullptr;
    TQBWordFlag Flag = qwfKeyword;
};

class TQBWordTable {
public:
    static constexpr int ListCount = 6;
    // The six lists of the scanner, each with its own flag. Non-owning; they outlive the table.
    void Attach(const std::array<TQBWordList, ListCount>& Lists);

    // Flags of Word (ignoring ASCII case); 0 when it is in no list.
    std::uint8_t Lookup(std::string_view Word) const {
        Refresh();
        return LookupFresh(Word);
    }
    // Prefix flags of the one-character text Ch: a cheap test before a longer lookup.
    std::uint8_t FirstCharFlags(char Ch) const {
        Refresh();
        return FirstCharFlagsFresh(Ch);
    }

    // Brings the table in step with the lists; the reader calls it once per token and then
    // uses the ...Fresh lookups, which skip the check.
    void Refresh() const {
        if (IsStale()) Rebuild();
    }
    // The cheap half of Refresh: true when no list at all has changed since the last build.
    bool IsFresh() const { return FBuilt && TStringList::GetAnyChangeCount() == FSeenAny; }
    std::uint8_t LookupFresh(std::string_view Word) const {
        const std::size_t n = Word.size();
        if (n == 1) return FOneChars[static_cast<unsigned char>(Word[0])];
        if (n == 0 || n > FLongest) return 0;
        // Most words of a statement are names in no list: one bit tells most of them apart.
        if (((FLengthsByEnds[EndsKey(Word)] >> (n < 31 ? n : 31)) & 1u) == 0) return 0;
        return Probe(Word);
    }
    std::uint8_t FirstCharFlagsFresh(char Ch) const {
        return FFirstChars[static_cast<unsigned char>(Ch)];
    }

private:
    // One slot: the word is stored upper-cased in FWords at Offset. Small slots keep the
    // whole table in the first-level cache.
    struct TEntry {
        std::uint32_t Hash = 0;
        std::uint32_t Offset = 0;
        std::uint16_t Length = 0;
        std::uint8_t Flags = 0;
    };
    bool IsStale() const {
        if (FBuilt && TStringList::GetAnyChangeCount() == FSeenAny) return false;
        if (!FBuilt) return true;
        for (int i = 0; i < ListCount; ++i)
            if (FLists[i].List != nullptr && FLists[i].List->GetChangeCount() != FSeen[i])
                return true;
        FSeenAny = TStringList::GetAnyChangeCount();  // some other list changed
        return false;
    }
    void Rebuild() const;
    void AddWord(std::string_view Word, std::uint8_t Flag) const;
    // The first and the last byte with case folded away (and more: only a filter).
    static std::size_t EndsKey(std::string_view Word) {
        return (static_cast<std::size_t>(static_cast<unsigned char>(Word.front()) & 0x1Fu) << 5) |
               (static_cast<unsigned char>(Word.back()) & 0x1Fu);
    }
    std::uint8_t Probe(std::string_view Word) const {
        const std::uint32_t hash = Hash(Word);
        const std::size_t mask = FEntries.size() - 1;
        const TEntry* const entries = FEntries.data();
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const TEntry& entry = entries[slot];
            if (entry.Flags == 0) return 0;
            if (entry.Hash == hash && entry.Length == Word.size() &&
                SameUpper(FWords.data() + entry.Offset, Word))
                return entry.Flags;
        }
    }
    // Equal words ignoring ASCII case hash alike: bit 5 is masked off every byte, which folds
    // lower-case letters onto upper-case ones (other bytes may collide; the compare decides).
    // The length and the first and last two bytes are mixed independently, which is cheap
    // and tells the listed words apart well.
    static std::uint32_t Hash(std::string_view Word) {
        const std::size_t n = Word.size();
        const auto at = [&Word](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(Word[i]) & 0xDFu);
        };
        std::uint32_t hash = static_cast<std::uint32_t>(n) * 0x9E3779B1u;
        if (n > 0) hash ^= at(0) * 0x85EBCA77u ^ at(n - 1) * 0xC2B2AE3Du;
        if (n > 1) hash ^= at(1) * 0x27D4EB2Fu ^ at(n - 2) * 0x165667B1u;
        if (n > 4) hash ^= at(n / 2) * 0xD3A2646Cu;
        return hash ^ (hash >> 15);
    }
    // Upper (Word's length, upper-cased) equals Word ignoring the case of Word's letters.
    static bool SameUpper(const char* Upper, std::string_view Word) {
        for (std::size_t i = 0; i < Word.size(); ++i) {
            const char ch = Word[i];
            // Listed words are mostly written upper-case: the plain compare settles most bytes.
            if (Upper[i] != ch && Upper[i] != (ch >= 'a' && ch <= 'z' ? char(ch - 'a' + 'A') : ch))
                return false;
        }
        return true;
    }

    std::array<TQBWordList, ListCount> FLists{};
    mutable unsigned FSeen[ListCount] = {};
    mutable unsigned FSeenAny = 0;
    mutable bool FBuilt = false;
    mutable std::vector<TEntry> FEntries;  // open addressing, size a power of two
    mutable std::string FWords;            // the entries' words, upper-cased, end to end
    mutable std::size_t FLongest = 0;
    mutable std::array<std::uint8_t, 256> FFirstChars{};
    // Flags of every one-character word (most delimiters and short aliases), probed ahead.
    mutable std::array<std::uint8_t, 256> FOneChars{};
    // Per EndsKey, bit n set when some entry of n bytes (31 for 31 and more) has those ends.
    mutable std::array<std::uint32_t, 1024> FLengthsByEnds{};
};
