// Object names written into SQL text sent to the server: the column query of a table, view or
// table function and the parameter discovery of a procedure. Every name part is put between
// identifier quotes with the closing quote doubled inside, so no name can end its quotes early
// and smuggle a second statement in. SQL Server takes brackets (or double quotes with the
// alternative quotes on); SQLite's brackets cannot hold "]", so SQLite always gets double quotes.
#pragma once

#include <string>
#include <vector>

class TDataConnection;

// The identifier quote a name is written with.
enum class TNameQuote : char { Bracket = '[', Double = '"' };

// Splits a dotted name into its parts, unquoted: a part may be written plain, or begin with a
// bracket or a double quote that quotes it ("]]" and "\"\"" stand for the quote inside; a quote
// character met later in a part is plain text); blanks around a part are dropped, blanks inside
// a plain part kept. An empty name gives one empty part.
std::vector<std::string> SplitObjectName(const std::string& name);

// One name part between Quote's quotes, its closing quote doubled.
std::string QuoteNamePart(const std::string& part, TNameQuote quote);

// A possibly dotted, possibly quoted name, every part unquoted and quoted again with Quote.
std::string QuoteObjectName(const std::string& name, TNameQuote quote);

// The quote for names sent over Connection: double quotes on SQLite or with AlterQuotes,
// brackets otherwise.
TNameQuote NameQuoteFor(const TDataConnection& connection, bool alterQuotes);
