// The reader's hash table over the word lists, rebuilt lazily when a list changes.
#include "lexer/QBWordTable.h"

#include "toolkit/TStringList.h"
#include "toolkit/TextCompare.h"

namespace {

// The flag marking the beginnings of the entries of a list flagged Flag; 0 when their
// beginnings are not looked up.
std::uint8_t PrefixFlag(TQBWordFlag Flag) {
    return Flag == qwfComparison       ? qwfComparisonPrefix
           : Flag == qwfSymbolOperator ? qwfSymbolOperatorPrefix
                                       : 0;
}

}  // namespace

void TQBWordTable::Attach(const std::array<TQBWordList, ListCount>& Lists) {
    FLists = Lists;
    FBuilt = false;
}

void TQBWordTable::AddWord(std::string_view Word, std::uint8_t Flag) const {
    // Longer words are never listed; Lookup answers 0 for them through FLongest.
    if (Word.size() > 0xFFFF) return;
    const std::uint32_t hash = Hash(Word);
    const std::size_t mask = FEntries.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        TEntry& entry = FEntries[slot];
        if (entry.Flags == 0) {
            entry.Hash = hash;
            entry.Offset = static_cast<std::uint32_t>(FWords.size());
            entry.Length = static_cast<std::uint16_t>(Word.size());
            entry.Flags = Flag;
            FWords += UpperCase(Word);
            if (Word.size() > FLongest) FLongest = Word.size();
            FLengthsByEnds[EndsKey(Word)] |= 1u << (Word.size() < 31 ? Word.size() : 31);
            return;
        }
        if (entry.Hash == hash && entry.Length == Word.size() &&
            SameUpper(FWords.data() + entry.Offset, Word)) {
            entry.Flags |= Flag;
            return;
        }
    }
}

void TQBWordTable::Rebuild() const {
    // Every word and every beginning of a comparison or symbol entry gets a slot; at most
    // half of the slots are used so that probes stay short and always meet an empty slot.
    FSeenAny = TStringList::GetAnyChangeCount();
    std::size_t words = 0;
    for (const TQBWordList& list : FLists) {
        if (list.List == nullptr) continue;
        const bool prefixes = PrefixFlag(list.Flag) != 0;
        for (const auto& word : *list.List) words += prefixes ? word.size() + 1 : 1;
    }
    std::size_t size = 16;
    while (size < 2 * words) size *= 2;
    FEntries.assign(size, TEntry{});
    FWords.clear();
    FLongest = 0;
    FFirstChars.fill(0);
    FLengthsByEnds.fill(0);
    for (int i = 0; i < ListCount; ++i) {
        const TQBWordList& list = FLists[static_cast<std::size_t>(i)];
        if (list.List == nullptr) continue;
        FSeen[i] = list.List->GetChangeCount();
        const std::uint8_t prefixFlag = PrefixFlag(list.Flag);
        for (const auto& word : *list.List) {
            if (word.empty()) continue;
            AddWord(word, list.Flag);
            if (prefixFlag == 0) continue;
            FFirstChars[static_cast<unsigned char>(UpCaseChar(word[0]))] |= prefixFlag;
            FFirstChars[static_cast<unsigned char>(LowCaseChar(word[0]))] |= prefixFlag;
            for (std::size_t length = 1; length <= word.size(); ++length)
                AddWord(std::string_view(word).substr(0, length), prefixFlag);
        }
    }
    for (int code = 0; code < 256; ++code) {
        const char ch = static_cast<char>(code);
        FOneChars[static_cast<std::size_t>(code)] = FLongest == 0 ? 0 : Probe(std::string_view(&ch, 1));
    }
    FBuilt = true;
}
