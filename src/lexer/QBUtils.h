// Small text utilities shared by the scanner, the query model, the control and the diagram:
// quoting with arbitrary quote characters, splitting dotted names while respecting quotes,
// a reversible one-line encoding of text with control characters, and a polyline hit test.
// All positions are 1-based; Open and Close are single bytes (equal for symmetric quotes).
// Nothing here keeps state or throws.
#pragma once

#include "toolkit/Geometry.h"

#include <string>
#include <string_view>
#include <vector>

class TStringList;

// S wrapped in Open and Close; with symmetric quotes every Open inside is doubled.
std::string QuoteText(const std::string& S, char Open, char Close);

// S unchanged when it already starts with Open and ends with Close, else QuoteText.
std::string QuoteTextIfNeeded(const std::string& S, char Open, char Close);

// S without its quotes: symmetric quotes are undoubled and text after the closing quote is
// dropped; asymmetric ones are stripped only when both are there.
std::string UnquoteText(const std::string& S, char Open, char Close);

// One-line form of S: control characters become CodeChar + decimal code outside quotes,
// the whole wrapped in one extra Quote pair. A CodeChar right after a quote is written as a
// code too, so that DecodeCharCodes gives every text back.
std::string EncodeCharCodes(const std::string& S, char Quote, char CodeChar);

// Inverse of EncodeCharCodes once its outermost Quote pair has been removed.
std::string DecodeCharCodes(const std::string& S, char Quote, char CodeChar);

// Length of the qualifier of Name: the index of its last point outside the quotes Open and
// Close, or npos when the name has no qualifier (no such point, or only a leading one).
std::size_t QualifierLength(std::string_view Name, char Open, char Close);

// The part of a dotted name before its last unquoted point (quotes kept); empty when none.
std::string ExtractQualifier(const std::string& Name, char Open, char Close);

// The part after the last unquoted point; the whole name when there is no qualifier.
std::string ExtractLastName(const std::string& Name, char Open, char Close);

// 1-based position of Sub in S, 0 when absent; ignores ASCII case unless CaseSensitive.
int PosCase(const std::string& Sub, const std::string& S, bool CaseSensitive);

// True when S looks like an expression (holds * + , - / or |) rather than a plain column.
bool IsExpressionText(const std::string& S);

// True when S is a lone "*" between blanks: the star of all columns, which is written bare.
bool IsBlankStar(std::string_view S);

// Upper-cases every line of List in place; nothing for a null list.
void UpperCaseStrings(TStringList* List);

// Index of the first segment of the polyline Points passing within Tolerance of P, or -1.
int FindSegmentAt(const std::vector<TPoint>& Points, const TPoint& P, double Tolerance);
