// Edits of the query model that follow what the user does on the diagram: a table key
// renamed everywhere it qualifies a column, and a numbered output name given back its plain
// form once the field it was told apart from is gone.
#pragma once

#include <string>

class TQBCriterions;
class TQBGroupByItems;
class TQBOrderByItems;
class TQBTableDefs;

// The collections a key rename walks; any may be null.
struct TQBStatementParts {
    TQBTableDefs* TableDefs = nullptr;
    TQBCriterions* Where = nullptr;
    TQBCriterions* Having = nullptr;
    TQBGroupByItems* GroupBy = nullptr;
    TQBOrderByItems* OrderBy = nullptr;
};

// Replaces every whole qualifier OldKey (followed by ".") by NewKey in the texts of the
// statement: select-list and argument expressions, WHERE and HAVING operands, GROUP BY and
// ORDER BY items. String literals are left alone. Join sides follow the table definition's
// own alias change, not this.
void RenameQualifierEverywhere(const TQBStatementParts& parts, const std::string& oldKey,
                               const std::string& newKey);

// After the field with output name RemovedAlias left the model: when exactly one field is
// still named RemovedAlias and its alias is that name followed by decimal digits only (a
// number given to tell it from the removed one), its alias is cleared. Exact comparison.
void RestorePlainAlias(TQBTableDefs& tableDefs, const std::string& removedAlias);
