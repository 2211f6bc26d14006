// The few places where the diagram reads or writes the query model: name comparison and
// the join definitions that mirror the links.
#pragma once

#include <string>

class TQBJoinDef;
class TQBLink;
class TQBSelectParser;

// True when A and B name the same thing by the model's rule (ignoring ASCII case unless the
// parser compares case-sensitively); exact without a parser.
bool ModelSameName(const TQBSelectParser* parser, const std::string& a, const std::string& b);

// The join definition of Link: looked up as Table0.Item0 -> Table1.Item1 first, then with
// the sides exchanged (a parsed statement may hold either); null when there is none.
TQBJoinDef* FindLinkJoinDef(const TQBSelectParser* parser, const TQBLink& link);

// Adds the join definition of Link (Table0.Item0 -> Table1.Item1, the join's type) unless
// one exists in either orientation, and binds it.
void AddLinkJoinDef(TQBSelectParser* parser, const TQBLink& link);

// Deletes the join definition of Link from the model, when there is one.
void DeleteLinkJoinDef(TQBSelectParser* parser, const TQBLink& link);
