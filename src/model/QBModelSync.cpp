// Key renames and alias bookkeeping that follow the diagram.
#include "model/QBModelSync.h"

#include <cctype>

#include "model/QBCriteria.h"
#include "model/QBFunctionDefs.h"
#include "model/QBOrderItems.h"
#include "model/QBTableDefs.h"

namespace {

struct TRename {
    const TQBTableDefs& Tables;
    const std::string& OldKey;
    const std::string& NewKey;

    void Text(std::string& text) const {
        if (text.find('.') != std::string::npos) text = Tables.RenameQualifier(text, OldKey, NewKey);
    }

    // A node and its arguments; literals are data and keep their text.
    void Node(TQBFunctionDef& node) const {
        if (node.Kind != fkString && node.Kind != fkInteger && node.Kind != fkFloat) Text(node.Name);
        if (node.ArgumentCount() == 0) return;
        TQBFunctionDefs& args = node.Arguments();
        for (int i = 0; i < args.Count(); ++i) Node(*args.Items(i));
    }

    void Criteria(TQBCriterions& group) const {
        for (int i = 0; i < group.Count(); ++i) {
            TQBCriterion& item = *group.Items(i);
            Node(item.Expression());
            TQBFunctionDefs& operands = item.Operands();
            for (int k = 0; k < operands.Count(); ++k) Node(*operands.Items(k));
            if (item.SubCriteriaCount() > 0) Criteria(item.SubCriteria());
        }
    }

    // A GROUP BY or ORDER BY list; an ORDER BY item keeps its direction.
    template <class TList>
    void List(TList& list) const {
        for (int i = 0; i < list.Count(); ++i) {
            std::string item = list[i];
            Text(item);
            if (item != list[i]) list.Put(i, item);
        }
    }
};

// True when Alias is Name followed by one or more decimal digits only.
bool IsNumberedAlias(const std::string& alias, const std::string& name) {
    if (alias.size() <= name.size() || alias.compare(0, name.size(), name) != 0) return false;
    for (std::size_t i = name.size(); i < alias.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(alias[i]))) return false;
    return true;
}

}  // namespace

void RenameQualifierEverywhere(const TQBStatementParts& parts, const std::string& oldKey,
                               const std::string& newKey) {
    if (!parts.TableDefs || oldKey == newKey) return;
    const TRename rename{*parts.TableDefs, oldKey, newKey};
    TQBTableDefs& tables = *parts.TableDefs;
    for (int t = 0; t < tables.Count(); ++t) {
        TQBFieldDefs& fields = tables.Items(t)->Fields();
        for (int f = 0; f < fields.Count(); ++f) rename.Node(*fields.Items(f));
    }
    if (parts.Where) rename.Criteria(*parts.Where);
    if (parts.Having) rename.Criteria(*parts.Having);
    if (parts.GroupBy) rename.List(*parts.GroupBy);
    if (parts.OrderBy) rename.List(*parts.OrderBy);
}

void RestorePlainAlias(TQBTableDefs& tableDefs, const std::string& removedAlias) {
    TQBFieldDef* only = nullptr;
    int count = 0;
    for (int t = 0; t < tableDefs.Count(); ++t) {
        const TQBFieldDefs& fields = tableDefs.Items(t)->Fields();
        for (int f = 0; f < fields.Count(); ++f) {
            if (fields.Items(f)->Name != removedAlias) continue;
            ++count;
            only = fields.Items(f);
        }
    }
    if (count == 1 && IsNumberedAlias(only->Alias, only->Name)) only->Alias.clear();
}
