// The working state of one parse, owned by the parser and kept off its public class: what
// the statement, table, join, condition and operand readers leave for each other while one
// statement is read, and storage they reuse from statement to statement.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

class TQBTableDef;

struct TQBParseReader {
    // The joined table of the JOIN clause being read and the table that clause follows.
    std::string JoinTableKey;
    std::string JoinFollowedKey;
    // The full rebuilt text of the operand read last.
    std::string LastOperandText;
    // The table definitions the FROM clause has named so far.
    std::vector<const TQBTableDef*> FromTables;
    // The qualifiers of join sides that named no table when they were read.
    std::vector<std::string> UnboundQualifiers;
    // The statement being read, kept aside while the model is cleared.
    std::string Text;
    // Reused storage: the parts of the dotted name the operand reader collects, the name
    // parts of the table reference being read, and the condition reader's postfix entries
    // ({operator code or -1, comparison index}) and operator stack.
    std::vector<std::string> OperandNameParts;
    // The texts the operand reader builds (see TQBOperandReader), kept here so that reading
    // an operand allocates nothing once they have grown.
    struct TOperandTexts {
        std::string Alias, Name, FunctionName, PrevToken, StringValue, Formatted, StarName;
        std::string Qualifier, FieldName;
        void Clear() {
            for (std::string* text : {&Alias, &Name, &FunctionName, &PrevToken, &StringValue,
                                      &Formatted, &StarName, &Qualifier, &FieldName})
                text->clear();
        }
    } OperandTexts;
    std::vector<std::string> TableNameParts;
    std::vector<std::size_t> NamePartStarts;  // where the parts of a GROUP BY name start
    std::vector<std::pair<int, int>> CriteriaPostfix;
    std::vector<int> CriteriaStack;
    // Where a reader that found its fault after reading on wants the error reported; used
    // when ErrorLine is not 0.
    std::string ErrorToken;
    int ErrorLine = 0;
    int ErrorColumn = 0;
    // True while a statement is read: only tables the FROM clause has named so far are
    // found by their bare name then.
    bool Reading = false;
    // False while a statement without bytes of 128 and above is read: its tokens need not be
    // searched for them (names holding such bytes are written quoted).
    bool TextHoldsHighBytes = true;

    // True when the FROM clause has named Table so far.
    bool NamedSoFar(const TQBTableDef* Table) const {
        return std::find(FromTables.begin(), FromTables.end(), Table) != FromTables.end();
    }
};
