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

}  // namespace

void TQBTableDefs::AppendFrom(std::string& Out, TQBWriteContext& Context) const {
    TQBWriteContext& scratch = Context;
    const int tableCount = Count();
    std::vector<const TQBTableDef*>& tables = scratch.Tables;
    std::vector<char>& blank = scratch.Blank;
    tables.resize(static_cast<std::size_t>(tableCount));
    blank.resize(static_cast<std::size_t>(tableCount));
    for (int i = 0; i < tableCount; ++i) {
        const TQBTableDef* table = Items(i);
        tables[static_cast<std::size_t>(i)] = table;
        blank[static_cast<std::size_t>(i)] =
            IsBlankText(table->GetTableName()) && IsBlankText(table->GetAlias());
    }
    // Only tables of this collection, never the blank one, take part in a join.
    const auto usable = [&tables, &blank](const TQBTableDef* table) -> int {
        if (!table) return -1;
        // A table of this collection sits at its own index; any other is searched for.
        std::ptrdiff_t index = table->GetIndex();
        if (index < 0 || static_cast<std::size_t>(index) >= tables.size() ||
            tables[static_cast<std::size_t>(index)] != table) {
            const auto it = std::find(tables.begin(), tables.end(), table);
            if (it == tables.end()) return -1;
            index = it - tables.begin();
        }
        return blank[static_cast<std::size_t>(index)] ? -1 : static_cast<int>(index);
    };
    const auto resolve = [&](const TQBTableDef* bound, const std::string& name) -> int {
        if (bound) return usable(bound);
        return IsBlankText(name) ? -1 : usable(FindByAlias(name));
    };

    std::vector<TLink>& links = scratch.Links;
    links.clear();
    if (const TQBJoinDefs* joins = Parser ? Parser->GetJoinDefs() : nullptr) {
        for (int i = 0; i < joins->Count(); ++i) {
            const TQBJoinDef* join = joins->Items(i);
            const int left = resolve(join->LeftTableDef, join->LeftTable);
            const int right = resolve(join->RightTableDef, join->RightTable);
            if (left >= 0 && right >= 0 && left != right) {
                links.push_back({join, left, right, left});
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

    // The groups in use are a prefix of the kept ones, so their storage is reused.
    std::size_t& groupCount = scratch.GroupCount;
    groupCount = 0;
    const auto inUse = [&scratch, &groupCount] { return std::span<TGroup>(scratch.Groups.data(), groupCount); };
    for (const TLink& link : links) {
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
            if (groupCount == scratch.Groups.size()) scratch.Groups.emplace_back();
            TGroup& group = scratch.Groups[groupCount++];
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

    const std::size_t start = Out.size();
    const auto separate = [&Out, start] {
        if (Out.size() != start) Out += ",\r\n";
    };
    std::vector<TJoinOrderLink>& orderLinks = scratch.OrderLinks;
    std::vector<const TLink*>& pool = scratch.Pool;
    std::vector<char>& used = scratch.Used;
    TJoinOrderResult& order = scratch.Order;
    std::vector<int>& indexInGroup = scratch.IndexInGroup;
    std::vector<char>& grouped = scratch.Grouped;
    grouped.assign(static_cast<std::size_t>(tableCount), 0);
    for (const TGroup& group : groups) {
        if (group.empty()) continue;
        separate();
        Out += ' ';
        // A group holds a table once, so its first place is its only one.
        indexInGroup.assign(static_cast<std::size_t>(tableCount), -1);
        for (std::size_t k = 0; k < group.size(); ++k) {
            indexInGroup[static_cast<std::size_t>(group[k])] = static_cast<int>(k);
            grouped[static_cast<std::size_t>(group[k])] = 1;
        }
        const auto indexIn = [&indexInGroup](int table) {
            return table >= 0 ? indexInGroup[static_cast<std::size_t>(table)] : -1;
        };
        pool.clear();
        orderLinks.clear();
        for (const TLink& link : links) {
            if (indexIn(link.A) < 0 && indexIn(link.B) < 0) continue;
            pool.push_back(&link);
            orderLinks.push_back(
                {indexIn(link.A), indexIn(link.B), indexIn(link.SwapFor), link.Join->JoinType});
        }
        SearchJoinOrder(static_cast<int>(group.size()), orderLinks, order);
        if (!order.Found) throw EQBException(QBResource::SCannotBuildJoin);
        // A condition without partner on the first table would have no place: it goes
        // into the first ON clause.
        used.assign(pool.size(), 0);
        for (const auto& step : order.Attached)
            for (int id : step) used[static_cast<std::size_t>(id)] = 1;
        for (std::size_t id = 0; id < pool.size(); ++id)
            if (!used[id] && pool[id]->B < 0) order.Attached[1].push_back(static_cast<int>(id));

        tables[static_cast<std::size_t>(group[static_cast<std::size_t>(order.Order.front())])]->AppendSQL(Out);
        for (std::size_t i = 1; i < order.Order.size(); ++i) {
            const int table = order.Order[i];
            const std::vector<int>& step = order.Attached[i];
            const TJoinOrderLink& decisive = orderLinks[static_cast<std::size_t>(step.front())];
            Out += "\r\n ";
            AppendJoinKeyword(Out, Parser, EffectiveJoinType(decisive, table));
            Out += ' ';
            tables[static_cast<std::size_t>(group[static_cast<std::size_t>(table)])]->AppendSQL(Out);
            AppendKeywordPhrase(Out, Parser, " ON ");
            for (std::size_t k = 0; k < step.size(); ++k) {
                if (k > 0) AppendKeywordPhrase(Out, Parser, "\r\n  AND ");
                pool[static_cast<std::size_t>(step[k])]->Join->AppendSQL(Out);
            }
        }
    }
    // Tables in no group stand alone, in collection order.
    for (int i = 0; i < tableCount; ++i) {
        if (blank[static_cast<std::size_t>(i)] || grouped[static_cast<std::size_t>(i)]) continue;
        separate();
        Out += ' ';
        tables[static_cast<std::size_t>(i)]->AppendSQL(Out);
    }
}
