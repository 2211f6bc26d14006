// Text utilities: quoting, dotted-name splitting, one-line encoding, polyline hit test.
#include "lexer/QBUtils.h"

#include "toolkit/TStringList.h"
#include "toolkit/TextCompare.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

std::string QuoteText(const std::string& S, char Open, char Close) {
    std::string result;
    result.reserve(S.size() + 2);
    result += Open;
    if (Open == Close) {
        for (const char ch : S) {
            if (ch == Open) result += Open;
            result += ch;
        }
    } else {
        result += S;
    }
    result += Close;
    return result;
}

std::string QuoteTextIfNeeded(const std::string& S, char Open, char Close) {
    if (!S.empty() && S.front() == Open && S.back() == Close) return S;
    return QuoteText(S, Open, Close);
}

std::string UnquoteText(const std::string& S, char Open, char Close) {
    if (S.size() < 2 || S.front() != Open) return S;
    if (Open != Close) return S.back() == Close ? S.substr(1, S.size() - 2) : S;

    std::string result;
    std::size_t i = 1;
    while (i < S.size()) {
        if (S[i] == Open) {
            if (i + 1 < S.size() && S[i + 1] == Open) {
                result += Open;
                i += 2;
                continue;
            }
            return result;  // the closing quote; whatever follows it is dropped
        }
        result += S[i++];
    }
    // No closing quote: the last character is taken for it.
    if (S.size() - 1 <= 1 || result.empty()) return std::string();
    result.pop_back();
    return result;
}

std::string EncodeCharCodes(const std::string& S, char Quote, char CodeChar) {
    const std::string quoted = QuoteText(S, Quote, Quote);
    std::string result;
    result.reserve(quoted.size() + 2);
    result += Quote;
    unsigned char previous = 255;
    for (const char ch : quoted) {
        const auto code = static_cast<unsigned char>(ch);
        if (code < 32) {
            if (previous >= 32) result += Quote;
            result += CodeChar;
            result += std::to_string(code);
        } else {
            if (previous < 32) result += Quote;
            if (ch == CodeChar && Quote != CodeChar && result.back() == Quote) {
                // Quote + CodeChar would be read back as the start of a code run and the
                // rest of the text lost; an extra Quote before a coded CodeChar survives.
                result += Quote;
                result += CodeChar;
                result += std::to_string(code);
                result += Quote;
            } else {
                result += ch;
            }
        }
        previous = code;
    }
    result += Quote;
    return result;
}

namespace {

// Reads a whole decimal number (optional sign) as a byte code; false when it is none.
bool ParseCharCode(const std::string& text, unsigned char& code) {
    if (text.empty() || text.size() > 12) return false;
    std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (i == text.size()) return false;
    long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    if (text[0] == '-') value = -value;
    if (value < 0 || value > 255) return false;
    code = static_cast<unsigned char>(value);
    return true;
}

}  // namespace

std::string DecodeCharCodes(const std::string& S, char Quote, char CodeChar) {
    std::string result;
    std::string text = S;
    const std::string pattern{Quote, CodeChar};
    for (std::size_t p = text.find(pattern); p != std::string::npos; p = text.find(pattern)) {
        result.append(text, 0, p);
        text.erase(0, p + pattern.size());
        std::string codes;
        const std::size_t q = text.find(Quote);
        if (q != std::string::npos) {
            codes = text.substr(0, q);
            text.erase(0, q + 1);
        }
        while (true) {
            const std::size_t k = codes.find(CodeChar);
            unsigned char code = 0;
            if (ParseCharCode(k == std::string::npos ? codes : codes.substr(0, k), code))
                result += static_cast<char>(code);
            if (k == std::string::npos) break;
            codes.erase(0, k + 1);
        }
    }
    result += text;
    return UnquoteText(result, Quote, Quote);
}

std::size_t QualifierLength(std::string_view Name, char Open, char Close) {
    // Without quotes the last point separates.
    if (Name.find(Open) == std::string_view::npos && Name.find(Close) == std::string_view::npos) {
        const std::size_t point = Name.rfind('.');
        return point == 0 ? std::string_view::npos : point;
    }
    // i is 1-based as in the name; it stops on the separating point.
    std::size_t i = Name.size();
    int nesting = 0;
    if (!Name.empty() && Name.back() == Close) {
        --i;
        nesting = 1;
    }
    while (i > 0) {
        const char ch = Name[i - 1];
        if (Open == Close) {
            if (ch == Open && nesting > 0) {
                if (i == 1 || Name[i - 2] != Open)
                    --nesting;
                else
                    ++nesting;
            }
        } else if (ch == Close) {
            ++nesting;
        } else if (ch == Open && (nesting <= 0 || i == 1 || Name[i - 2] == '.')) {
            // Inside a quoted part an opening character is text (`[a [b]`); only the one
            // that begins the part opens it.
            --nesting;
        }
        if (ch == '.' && nesting == 0) break;
        --i;
    }
    return i <= 1 ? std::string_view::npos : i - 1;
}

std::string ExtractQualifier(const std::string& Name, char Open, char Close) {
    const std::size_t length = QualifierLength(Name, Open, Close);
    return length == std::string::npos ? std::string() : Name.substr(0, length);
}

std::string ExtractLastName(const std::string& Name, char Open, char Close) {
    const std::size_t length = QualifierLength(Name, Open, Close);
    return length == std::string::npos ? Name : Name.substr(length + 1);
}

int PosCase(const std::string& Sub, const std::string& S, bool CaseSensitive) {
    if (Sub.empty()) return 0;
    const std::size_t at = CaseSensitive ? S.find(Sub) : UpperCase(S).find(UpperCase(Sub));
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

bool IsExpressionText(const std::string& S) {
    if (IsBlankText(S)) return false;
    return S.find_first_of("*+,-/|") != std::string::npos;
}

void UpperCaseStrings(TStringList* List) {
    if (List == nullptr) return;
    // Rebuilt in one go so that a sorted list cannot reorder under the loop.
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(List->Count()));
    for (const auto& line : *List) lines.push_back(UpperCase(line));
    List->Clear();
    for (const auto& line : lines) List->Add(line);
}

namespace {

// Manhattan distance from P to the point of segment A-B at position m of the major axis.
double DistanceAt(long long m, bool majorIsX, double slope, const TPoint& B, const TPoint& P) {
    if (majorIsX) {
        const double minor = std::nearbyint(slope * double(m - B.X) + B.Y);
        return std::fabs(double(m) - P.X) + std::fabs(minor - P.Y);
    }
    const double minor = std::nearbyint(slope * double(m - B.Y) + B.X);
    return std::fabs(minor - P.X) + std::fabs(double(m) - P.Y);
}

bool IsNearSegment(const TPoint& A, const TPoint& B, const TPoint& P, double Tolerance) {
    if (A.X == B.X)
        return P.Y >= std::min(A.Y, B.Y) && P.Y <= std::max(A.Y, B.Y) &&
               std::fabs(double(A.X) - P.X) <= Tolerance;
    if (A.Y == B.Y)
        return P.X >= std::min(A.X, B.X) && P.X <= std::max(A.X, B.X) &&
               std::fabs(double(A.Y) - P.Y) <= Tolerance;
    const double dx = double(A.X) - B.X;
    const double dy = double(A.Y) - B.Y;
    const bool majorIsX = std::fabs(dx) >= std::fabs(dy);
    const double slope = majorIsX ? dy / dx : dx / dy;
    long long lo = majorIsX ? std::min(A.X, B.X) : std::min(A.Y, B.Y);
    long long hi = majorIsX ? std::max(A.X, B.X) : std::max(A.Y, B.Y);
    // Bisection towards the nearer end; the pass whose middle is the lower bound is the last.
    while (true) {
        const long long mid = lo + (hi - lo) / 2;
        const double here = DistanceAt(mid, majorIsX, slope, B, P);
        if (here <= Tolerance) return true;
        const double next = DistanceAt(mid + 1, majorIsX, slope, B, P);
        const bool last = mid == lo;
        if (next < here)
            lo = mid;
        else
            hi = mid;
        if (last) return next <= Tolerance;
    }
}

}  // namespace

int FindSegmentAt(const std::vector<TPoint>& Points, const TPoint& P, double Tolerance) {
    if (Points.size() < 2) return -1;
    for (std::size_t i = 0; i + 1 < Points.size(); ++i)
        if (IsNearSegment(Points[i], Points[i + 1], P, Tolerance)) return static_cast<int>(i);
    return -1;
}

bool IsBlankStar(std::string_view S) {
    std::size_t first = 0, last = S.size();
    while (first < last && static_cast<unsigned char>(S[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(S[last - 1]) <= ' ') --last;
    return last - first == 1 && S[first] == '*';
}
