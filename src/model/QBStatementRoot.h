// The owner of one statement's model as the model sees it: the dialect it is written in and
// the six collections of the statement. Model items reach their neighbours through it (a
// table that goes cleans the joins, criteria and ORDER BY items that name it). The parser
// implements it and owns everything it hands out.
#pragma once

#include "model/QBDialect.h"

#include <string>

class TQBTableDefs;
class TQBTableDef;
class TQBJoinDefs;
class TQBWhereItems;
class TQBHavingItems;
class TQBGroupByItems;
class TQBOrderByItems;

class TQBStatementRoot : public TQBDialect {
public:
    // The six collections of the statement; null only before the parser is set up.
    virtual TQBTableDefs* GetTableDefs() const = 0;
    virtual TQBJoinDefs* GetJoinDefs() const = 0;
    virtual TQBWhereItems* GetWhereItems() const = 0;
    virtual TQBHavingItems* GetHavingItems() const = 0;
    virtual TQBGroupByItems* GetGroupByItems() const = 0;
    virtual TQBOrderByItems* GetOrderByItems() const = 0;
    // True while the whole model is emptied: items that go need not clean up what refers to
    // them, since all of it goes too.
    virtual bool IsClearing() const = 0;
    // The table a qualifier names: its alias, or the bare last name of a table written with
    // its schema and no alias; null when none.
    virtual TQBTableDef* FindQualifierTable(const std::string& Qualifier) const = 0;

protected:
    ~TQBStatementRoot() = default;
};
