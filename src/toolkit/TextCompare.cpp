// ASCII-only case mapping and comparison for the string list and the lexical layer.
#include "toolkit/TextCompare.h"

#include <algorithm>

std::string UpperCase(std::string_view S) {
    std::string result(S);
    for (char& ch : result) ch = UpCaseChar(ch);
    return result;
}

std::string LowerCase(std::string_view S) {
    std::string result(S);
    for (char& ch : result) ch = LowCaseChar(ch);
    return result;
}

int CompareText(std::string_view A, std::string_view B) {
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(UpCaseChar(A[i]));
        const auto b = static_cast<unsigned char>(UpCaseChar(B[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    if (A.size() == B.size()) return 0;
    return A.size() < B.size() ? -1 : 1;
}

int CompareStr(std::string_view A, std::string_view B) {
    const int result = A.compare(B);  // char_traits<char> compares as unsigned char
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

std::string Trim(std::string_view S) {
    std::size_t first = 0;
    std::size_t last = S.size();
    while (first < last && static_cast<unsigned char>(S[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(S[last - 1]) <= ' ') --last;
    return std::string(S.substr(first, last - first));
}
