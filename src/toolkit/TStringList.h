// An ordered list of strings with optional sorting, case-insensitive search by default,
// name=value access and the comma text used to hand word lists around.
//
// Comma text: entries are separated by commas; outside double quotes a blank (any byte at
// or below 32) also ends an entry, so "NATIONAL ,TRAN" gives "NATIONAL" and "TRAN" and
// "a b" gives two entries. A double-quoted entry may hold commas and blanks; doubled quotes
// inside it stand for one. Writing quotes an entry that holds a blank, a comma or a quote.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

class TStringList {
public:
    TStringList() = default;

    // Number of strings.
    int Count() const { return static_cast<int>(FItems.size()); }
    bool Empty() const { return FItems.empty(); }

    // The string at Index (0-based); Index must be in range.
    const std::string& Get(int Index) const;
    const std::string& operator[](int Index) const { return Get(Index); }
    // Replaces the string at Index; a sorted list is sorted again.
    void Put(int Index, const std::string& S);

    // Appends S (a sorted list inserts it at its sorted place); returns its index.
    int Add(const std::string& S);
    // Inserts S at Index (0..Count); not allowed on a sorted list, which adds instead.
    void Insert(int Index, const std::string& S);
    // Removes the string at Index; Index must be in range.
    void Delete(int Index);
    void Clear();
    // Swaps two entries of an unsorted list.
    void Exchange(int Index1, int Index2);
    // Appends every string of Other.
    void AddStrings(const TStringList& Other);
    // Makes this list a copy of Other's strings (keeps this list's sorting and case settings).
    void Assign(const TStringList& Other);

    // Index of the first string equal to S (by the list's comparison), or -1.
    int IndexOf(std::string_view S) const;
    // Sorted lists: binary search; true when found, Index = the first match or the place
    // where S would be inserted. Unsorted lists: linear search, Index = match or Count.
    bool Find(std::string_view S, int& Index) const;
    // True when some entry begins with Prefix (by the list's comparison).
    bool HasEntryStartingWith(std::string_view Prefix) const;

    // Sorts by the list's comparison (stable: duplicates keep their order).
    void Sort();
    bool GetSorted() const { return FSorted; }
    // Turning sorting on sorts the list.
    void SetSorted(bool Value);
    bool GetCaseSensitive() const { return FCaseSensitive; }
    // Changing the comparison re-sorts a sorted list.
    void SetCaseSensitive(bool Value);

    // Comma text as described at the top of this file.
    std::string GetCommaText() const;
    // Replaces the contents with the entries of Text.
    void SetCommaText(std::string_view Text);

    // All strings, each followed by CR LF.
    std::string GetText() const;
    // Replaces the contents with the lines of Text (CR LF, LF or CR end a line).
    void SetText(std::string_view Text);

    // name=value access: the part before the first '=' of an entry, and the part after it.
    std::string GetName(int Index) const;
    std::string GetValueFromIndex(int Index) const;
    // Index of the first entry whose name equals Name (by the list's comparison), or -1.
    int IndexOfName(std::string_view Name) const;
    // The value of the entry named Name, or empty.
    std::string GetValue(std::string_view Name) const;
    // Sets the value of Name: replaces the entry, adds one, or deletes it when Value is empty.
    void SetValue(std::string_view Name, std::string_view Value);

    // Grows with every change; lets a reader keep derived lookup tables in step with the list.
    unsigned GetChangeCount() const { return FChangeCount; }
    // Grows with every change of any list: one cheap test that no list has changed.
    static unsigned GetAnyChangeCount() { return FAnyChangeCount.load(std::memory_order_relaxed); }

    // Compares two strings the way this list does.
    int CompareStrings(std::string_view A, std::string_view B) const;

    std::vector<std::string>::const_iterator begin() const { return FItems.begin(); }
    std::vector<std::string>::const_iterator end() const { return FItems.end(); }

private:
    void Changed() {
        ++FChangeCount;
        FAnyChangeCount.fetch_add(1, std::memory_order_relaxed);
    }
    void CheckIndex(int Index, int Limit) const;

    std::vector<std::string> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    unsigned FChangeCount = 0;
    static inline std::atomic<unsigned> FAnyChangeCount{0};
};
