// The FROM clause writer: groups of tables connected by join conditions, each written as
// a chain of joins in an order searched so that every condition can be attached.
#include "lexer/QBScanner.h"
#include "model/QBJoinDefs.h"
#include "model/QBJoinOrder.h"
#include "model/QBSQLText.h"
#include "model/QBTableDefs.h"
#include "model/QBWriteContext.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

namespace {

using TLink = TQBFromLink;
using TGroup = std::vector<int>;

bool Contains(const TGroup& Group, int Table) {
    return std::find(Group.begin(), Group.end(), Table) != Group.end();
}

void AppendJoinKeyword(std::string& Out, const TQBDialect* Parser, std::uint8_t Type) {
    static constexpr std::string_view phrases[] = {"INNER JOIN", "LEFT OUTER JOIN",
                                                   "RIGHT OUTER JOIN", "FULL OUTER JOIN"};
    AppendKeywordPhrase(Out, Parser, phrases[Type <= 3 ? Type : 0]);
}

// The tables of the collection in order, and which of them is blank.
void CollectTables(const TQBTableDefs& Tables, TQBWriteContext& Context) {
    const std::size_t count = static_cast<std::size_t>(Tables.Count());
    Context.Tables.resize(count);
    Context.Blank.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const TQBTableDef* table = Tables.Items(static_cast<int>(i));
        Context.Tables[i] = table;
        Context.Blank[i] = IsBlankText(table->GetTableName()) && IsBlankText(table->GetAlias());
    }
}

// The index of Table among the collected tables; -1 for null, a table of another collection
// or the blank one, none of which takes part in a join.
int UsableIndex(const TQBWriteContext& Context, const TQBTableDef* Table) {
    if (!Table) return -1;
    const std::vector<const TQBTableDef*>& tables = Context.Tables;
    // A table of this collection sits at its own index; any other is searched for.
    std::ptrdiff_t index = Table->GetIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= tables.size() ||
        tables[static_cast<std::size_t>(index)] != Table) {
        const auto it = std::find(tables.begin(), tables.end(), Table);
        if (it == tables.end()) return -1;
        index = it - tables.begin();
    }
    return Context.Blank[static_cast<std::size_t>(index)] ? -1 : static_cast<int>(index);
}

// Every join condition of Joins that names a usable table, as a link between table indices.
void CollectLinks(const TQBTableDefs& Tables, const TQBJoinDefs& Joins, TQBWriteContext& Context) {
    const auto resolve = [&](const TQBTableDef* bound, const std::string& name) -> int {
        if (bound) return UsableIndex(Context, bound);
        return IsBlankText(name) ? -1 : UsableIndex(Context, Tables.FindByAlias(name));
    };
    std::vector<TLink>& links = Context.Links;
    for (int i = 0; i < Joins.Count(); ++i) {
        const TQBJoinDef* join = Joins.Items(i);
        const int left = resolve(join->LeftTableDef, join->LeftTable);
        const int right = resolve(join->RightTableDef, join->RightTable);
        if (left >= 0 && right >= 0 && left != right) {
            links.push_back({join, left, right, left, true});
            continue;
        }
        const int own = left >= 0 ? left : right;
        if (own < 0) continue;
        // A condition on one table links it with the table of its JOIN clause.
        const int partner = resolve(join->PreferredTableDef, join->PreferredTable);
        if (partner >= 0 && partner != own) {
            const int first = join->PreferredFollowed ? partner : own;
            const int second = first == own ? partner : own;
            links.push_back({join, first, second, first});
        } else {
            links.push_back({join, own, -1, -1});
        }
    }
}

// The groups of tables the links connect, in the order their first link comes; a group
// merged into an earlier one is left empty. The groups in use are a prefix of the kept ones,
// so their storage is reused.
std::span<TGroup> GroupLinkedTables(TQBWriteContext& Context) {
    std::size_t& groupCount = Context.GroupCount;
    groupCount = 0;
    const auto inUse = [&Context, &groupCount] { return std::span<TGroup>(Context.Groups.data(), groupCount); };
    for (const TLink& link : Context.Links) {
        if (link.B < 0) continue;
        bool found = false;
        for (TGroup& group : inUse())
            if (Contains(group, link.A)) {
                found = true;
                if (!Contains(group, link.B)) group.push_back(link.B);
            }
        for (TGroup& group : inUse())
            if (Contains(group, link.B)) {
                found = true;
                if (!Contains(group, link.A)) group.push_back(link.A);
            }
        if (!found) {
            if (groupCount == Context.Groups.size()) Context.Groups.emplace_back();
            TGroup& group = Context.Groups[groupCount++];
            group.clear();
            group.push_back(link.A);
            group.push_back(link.B);
        }
    }
    const std::span<TGroup> groups = inUse();
    for (int n = static_cast<int>(groups.size()) - 1; n >= 1; --n) {
        TGroup& later = groups[static_cast<std::size_t>(n)];
        for (int k = 0; k < n; ++k) {
            TGroup& earlier = groups[static_cast<std::size_t>(k)];
            const bool shares = std::any_of(later.begin(), later.end(),
                                            [&earlier](int t) { return Contains(earlier, t); });
            if (!shares) continue;
            for (const int table : later)
                if (!Contains(earlier, table)) earlier.push_back(table);
            later.clear();
            break;
        }
    }
    return groups;
}

// Marks Group's tables as grouped and searches their order and the conditions attached at
// each step, into Context.Order, Context.Pool and Context.OrderLinks; throws EQBException
// when no order exists.
void OrderGroup(const TGroup& Group, TQBWriteContext& Context) {
    std::vector<int>& indexInGroup = Context.IndexInGroup;
    // A group holds a table once, so its first place is its only one.
    indexInGroup.assign(Context.Tables.size(), -1);
    for (std::size_t k = 0; k < Group.size(); ++k) {
        indexInGroup[static_cast<std::size_t>(Group[k])] = static_cast<int>(k);
        Context.Grouped[static_cast<std::size_t>(Group[k])] = 1;
    }
    const auto indexIn = [&indexInGroup](int table) {
        return table >= 0 ? indexInGroup[static_cast<std::size_t>(table)] : -1;
    };
    std::vector<const TLink*>& pool = Context.Pool;
    std::vector<TJoinOrderLink>& orderLinks = Context.OrderLinks;
    pool.clear();
    orderLinks.clear();
    for (const TLink& link : Context.Links) {
        if (indexIn(link.A) < 0 && indexIn(link.B) < 0) continue;
        pool.push_back(&link);
        orderLinks.push_back({indexIn(link.A), indexIn(link.B), indexIn(link.SwapFor), link.Join->JoinType});
    }
    TJoinOrderResult& order = Context.Order;
    SearchJoinOrder(static_cast<int>(Group.size()), orderLinks, order);
    if (!order.Found) throw EQBException(QBResource::SCannotBuildJoin);
    // A condition without partner on the first table would have no place: it goes into the
    // first ON clause.
    std::vector<char>& used = Context.Used;
    used.assign(pool.size(), 0);
    for (const auto& step : order.Attached)
        for (int id : step) used[static_cast<std::size_t>(id)] = 1;
    for (std::size_t id = 0; id < pool.size(); ++id)
        if (!used[id] && pool[id]->B < 0) order.Attached[1].push_back(static_cast<int>(id));
}

// Group as one chain of joins in the order found: the first table, then each further
// table with its join keyword and ON conditions.
void AppendGroup(std::string& Out, const TQBDialect* Parser, const TGroup& Group, TQBWriteContext& Context) {
    OrderGroup(Group, Context);
    const TJoinOrderResult& order = Context.Order;
    const auto tableAt = [&](int place) {
        return Context.Tables[static_cast<std::size_t>(Group[static_cast<std::size_t>(place)])];
    };
    tableAt(order.Order.front())->AppendSQL(Out);
    for (std::size_t i = 1; i < order.Order.size(); ++i) {
        const int table = order.Order[i];
        const std::vector<int>& step = order.Attached[i];
        const TJoinOrderLink& decisive = Context.OrderLinks[static_cast<std::size_t>(step.front())];
        Out += "\r\n ";
        AppendJoinKeyword(Out, Parser, EffectiveJoinType(decisive, table));
        Out += ' ';
        tableAt(table)->AppendSQL(Out);
        AppendKeywordPhrase(Out, Parser, " ON ");
        // Each condition is written with the table this join brings in on its right, as
        // the reader stores a condition it reads: the output reads back to itself.
        const int joined = Group[static_cast<std::size_t>(table)];
        for (std::size_t k = 0; k < step.size(); ++k) {
            if (k > 0) AppendKeywordPhrase(Out, Parser, "\r\n  AND ");
            const TLink& link = *Context.Pool[static_cast<std::size_t>(step[k])];
            if (link.Sides && link.A == joined)
                link.Join->AppendMirroredSQL(Out);
            else
                link.Join->AppendSQL(Out);
        }
    }
}

}  // namespace

void TQBTableDefs::AppendFrom(std::string& Out, TQBWriteContext& Context) const {
    CollectTables(*this, Context);
    Context.Links.clear();
    if (const TQBJoinDefs* joins = Parser ? Parser->GetJoinDefs() : nullptr) CollectLinks(*this, *joins, Context);
    const std::span<TGroup> groups = GroupLinkedTables(Context);

    const std::size_t start = Out.size();
    const auto separate = [&Out, start] {
        if (Out.size() != start) Out += ",\r\n";
    };
    Context.Grouped.assign(Context.Tables.size(), 0);
    for (const TGroup& group : groups) {
        if (group.empty()) continue;
        separate();
        Out += ' ';
        AppendGroup(Out, Parser, group, Context);
    }
    // Tables in no group stand alone, in collection order.
    for (std::size_t i = 0; i < Context.Tables.size(); ++i) {
        if (Context.Blank[i] || Context.Grouped[i]) continue;
        separate();
        Out += ' ';
        Context.Tables[i]->AppendSQL(Out);
    }
}
