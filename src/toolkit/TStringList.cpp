// The string list: storage, sorted search, comma text and name=value access.
#include "toolkit/TStringList.h"

#include "toolkit/TextCompare.h"

#include <algorithm>
#include <stdexcept>

namespace {

bool IsBlankByte(char ch) { return static_cast<unsigned char>(ch) <= ' '; }

}  // namespace

void TStringList::CheckIndex(int Index, int Limit) const {
    if (Index < 0 || Index >= Limit)
        throw std::out_of_range("string list index out of bounds (" + std::to_string(Index) + ")");
}

int TStringList::CompareStrings(std::string_view A, std::string_view B) const {
    return FCaseSensitive ? CompareStr(A, B) : CompareText(A, B);
}

const std::string& TStringList::Get(int Index) const {
    CheckIndex(Index, Count());
    return FItems[static_cast<std::size_t>(Index)];
}

void TStringList::Put(int Index, const std::string& S) {
    CheckIndex(Index, Count());
    FItems[static_cast<std::size_t>(Index)] = S;
    if (FSorted) Sort();
    Changed();
}

int TStringList::Add(const std::string& S) {
    int index = Count();
    if (FSorted) {
        // Duplicates are accepted; a new one goes after the equal entries already present.
        const auto at = std::upper_bound(FItems.begin(), FItems.end(), S,
                                         [this](const std::string& a, const std::string& b) {
                                             return CompareStrings(a, b) < 0;
                                         });
        index = static_cast<int>(at - FItems.begin());
    }
    FItems.insert(FItems.begin() + index, S);
    Changed();
    return index;
}

void TStringList::Insert(int Index, const std::string& S) {
    if (FSorted) {
        Add(S);
        return;
    }
    CheckIndex(Index, Count() + 1);
    FItems.insert(FItems.begin() + Index, S);
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index, Count());
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    FItems.clear();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1, Count());
    CheckIndex(Index2, Count());
    std::swap(FItems[static_cast<std::size_t>(Index1)], FItems[static_cast<std::size_t>(Index2)]);
    Changed();
}

void TStringList::AddStrings(const TStringList& Other) {
    if (&Other == this) {
        const std::vector<std::string> copy = FItems;
        for (const auto& s : copy) Add(s);
        return;
    }
    for (const auto& s : Other.FItems) Add(s);
}

void TStringList::Assign(const TStringList& Other) {
    if (&Other == this) return;
    FItems = Other.FItems;
    if (FSorted) Sort();
    Changed();
}

bool TStringList::Find(std::string_view S, int& Index) const {
    if (!FSorted) {
        Index = IndexOf(S);
        if (Index >= 0) return true;
        Index = Count();
        return false;
    }
    const auto at = std::lower_bound(
        FItems.begin(), FItems.end(), S,
        [this](const std::string& a, std::string_view b) { return CompareStrings(a, b) < 0; });
    Index = static_cast<int>(at - FItems.begin());
    return at != FItems.end() && CompareStrings(*at, S) == 0;
}

int TStringList::IndexOf(std::string_view S) const {
    if (FSorted) {
        int index = 0;
        return Find(S, index) ? index : -1;
    }
    // Equal by either comparison means equal length: most entries are passed over on that.
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        const std::string& item = FItems[i];
        if (item.size() == S.size() && (FCaseSensitive ? item == S : SameText(item, S)))
            return static_cast<int>(i);
    }
    return -1;
}

bool TStringList::HasEntryStartingWith(std::string_view Prefix) const {
    for (const auto& s : FItems)
        if (s.size() >= Prefix.size() &&
            CompareStrings(std::string_view(s).substr(0, Prefix.size()), Prefix) == 0)
            return true;
    return false;
}

void TStringList::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(), [this](const std::string& a, const std::string& b) {
        return CompareStrings(a, b) < 0;
    });
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (Value == FSorted) return;
    FSorted = Value;
    if (FSorted) Sort();
}

void TStringList::SetCaseSensitive(bool Value) {
    if (Value == FCaseSensitive) return;
    FCaseSensitive = Value;
    if (FSorted) Sort();
    Changed();
}

std::string TStringList::GetCommaText() const {
    if (FItems.size() == 1 && FItems.front().empty()) return "\"\"";
    std::string result;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (i > 0) result += ',';
        const std::string& s = FItems[i];
        const bool needsQuotes = std::any_of(s.begin(), s.end(), [](char ch) {
            return IsBlankByte(ch) || ch == '"' || ch == ',';
        });
        if (!needsQuotes) {
            result += s;
            continue;
        }
        result += '"';
        for (const char ch : s) {
            if (ch == '"') result += '"';
            result += ch;
        }
        result += '"';
    }
    return result;
}

void TStringList::SetCommaText(std::string_view Text) {
    std::vector<std::string> items;
    std::size_t p = 0;
    const std::size_t n = Text.size();
    while (p < n && IsBlankByte(Text[p])) ++p;
    while (p < n) {
        std::string entry;
        if (Text[p] == '"') {
            // Quoted entry: doubled quotes stand for one; an unclosed quote runs to the end.
            ++p;
            while (p < n) {
                if (Text[p] == '"') {
                    if (p + 1 < n && Text[p + 1] == '"') {
                        entry += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                entry += Text[p++];
            }
        } else {
            const std::size_t start = p;
            while (p < n && !IsBlankByte(Text[p]) && Text[p] != ',') ++p;
            entry.assign(Text.substr(start, p - start));
        }
        items.push_back(std::move(entry));
        while (p < n && IsBlankByte(Text[p])) ++p;
        if (p < n && Text[p] == ',') {
            if (p + 1 == n) items.emplace_back();  // a trailing comma ends with an empty entry
            ++p;
            while (p < n && IsBlankByte(Text[p])) ++p;
        }
    }
    FItems = std::move(items);
    if (FSorted) Sort();
    Changed();
}

std::string TStringList::GetText() const {
    std::string result;
    for (const auto& s : FItems) {
        result += s;
        result += "\r\n";
    }
    return result;
}

void TStringList::SetText(std::string_view Text) {
    std::vector<std::string> items;
    std::size_t p = 0;
    while (p < Text.size()) {
        const std::size_t start = p;
        while (p < Text.size() && Text[p] != '\r' && Text[p] != '\n') ++p;
        items.emplace_back(Text.substr(start, p - start));
        if (p < Text.size() && Text[p] == '\r') ++p;
        if (p < Text.size() && Text[p] == '\n') ++p;
    }
    FItems = std::move(items);
    if (FSorted) Sort();
    Changed();
}

std::string TStringList::GetName(int Index) const {
    const std::string& s = Get(Index);
    const auto equals = s.find('=');
    return equals == std::string::npos ? std::string() : s.substr(0, equals);
}

std::string TStringList::GetValueFromIndex(int Index) const {
    const std::string& s = Get(Index);
    const auto equals = s.find('=');
    return equals == std::string::npos ? std::string() : s.substr(equals + 1);
}

int TStringList::IndexOfName(std::string_view Name) const {
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        const auto equals = FItems[i].find('=');
        if (equals != std::string::npos &&
            CompareStrings(std::string_view(FItems[i]).substr(0, equals), Name) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

std::string TStringList::GetValue(std::string_view Name) const {
    const int index = IndexOfName(Name);
    return index < 0 ? std::string() : GetValueFromIndex(index);
}

void TStringList::SetValue(std::string_view Name, std::string_view Value) {
    const int index = IndexOfName(Name);
    std::string entry(Name);
    entry += '=';
    entry += Value;
    if (Value.empty()) {
        if (index >= 0) Delete(index);
    } else if (index >= 0) {
        Put(index, entry);
    } else {
        Add(entry);
    }
}
