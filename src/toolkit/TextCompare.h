// Case mapping and comparison of UTF-8 text as the system needs it: ASCII letters only,
// bytes of 128 and above are left as they are, so multi-byte characters compare bytewise.
#pragma once

#include <string>
#include <string_view>

// Upper-case form of one byte (ASCII letters only).
constexpr char UpCaseChar(char Ch) { return Ch >= 'a' && Ch <= 'z' ? char(Ch - 'a' + 'A') : Ch; }

// Lower-case form of one byte (ASCII letters only).
constexpr char LowCaseChar(char Ch) { return Ch >= 'A' && Ch <= 'Z' ? char(Ch - 'A' + 'a') : Ch; }

// Returns S with ASCII letters upper-cased.
std::string UpperCase(std::string_view S);

// Returns S with ASCII letters lower-cased.
std::string LowerCase(std::string_view S);

// Compares ignoring ASCII case: negative, zero or positive like strcmp (bytes as unsigned).
int CompareText(std::string_view A, std::string_view B);

// Compares exactly, bytes as unsigned: negative, zero or positive.
int CompareStr(std::string_view A, std::string_view B);

// True when A and B are equal ignoring ASCII case. Inline: most calls differ in length.
inline bool SameText(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i)
        if (A[i] != B[i] && UpCaseChar(A[i]) != UpCaseChar(B[i])) return false;
    return true;
}

// Returns S without leading and trailing bytes at or below the blank (control characters).
std::string Trim(std::string_view S);

// True when Trim(S) would be empty, without making the trimmed copy.
inline bool IsBlankText(std::string_view S) {
    for (const char ch : S)
        if (static_cast<unsigned char>(ch) > ' ') return false;
    return true;
}
