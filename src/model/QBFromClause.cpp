// The FROM clause writer: groups of tables connected by join conditions, each written as
// a chain of joins in an order searched so that every condition can be attached.
#include "lexer/QBScanner.h"
#include "model/QBJoinDefs.h"
#include "model/QBJoinOrder.h"
#include "model/QBSQLText.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

#include <algorithm>
#include <vector>

namespace {

// One join condition as the writer sees it: the tables it links, as indices in the table
// collection (B -1 when it has no partner), and the table whose attachment exchanges LEFT
// and RIGHT (-1 when none).
struct TLink {
    const TQBJoinDef* Join = nullptr;
    int A = -1;
    int B = -1;
    int SwapFor = -1;
};

using TGroup = std::vector<int>;

bool Contains(const TGroup& Group, int Table) {
    return std::find(Group.begin(), Group.end(), Table) != Group.end();
}

int IndexIn(const TGroup& Group, int Table) {
    const auto it = std::find(Group.begin(), Group.end(), Table);
    return it == Group.end() ? -1 : static_cast<int>(it - Group.begin());
}

void AppendJoinKeyword(std::string& Out, const TQBSelectParser* Parser, std::uint8_t Type) {
    static const char* const words[][3] = {
        {"INNER", "JOIN", nullptr}, {"LEFT", "OUTER", "JOIN"}, {"RIGHT", "OUTER", "JOIN"},
        {"FULL", "OUTER", "JOIN"}};
    bool first = true;
    for (const char* word : words[Type <= 3 ? Type : 0]) {
        if (!word) break;
        if (!first) Out += ' ';
        first = false;
        AppendKeyword(Out, Parser, word);
    }
}

}  // namespace

void TQBTableDefs::AppendFrom(std::string& Out) const {
    const int tableCount = Count();
    std::vector<const TQBTableDef*> tables(static_cast<std::size_t>(tableCount));
    std::vector<char> blank(static_cast<std::size_t>(tableCount));
    for (int i = 0; i < tableCount; ++i) {
        const TQBTableDef* table = Items(i);
        tables[static_cast<std::size_t>(i)] = table;
        blank[static_cast<std::size_t>(i)] =
            IsBlankText(table->GetTableName()) && IsBlankText(table->GetAlias());
    }
    // Only tables of this collection, never the blank one, take part in a join.
    const auto usable = [&tables, &blank](const TQBTableDef* table) -> int {
        if (!table) return -1;
        const auto it = std::find(tables.begin(), tables.end(), table);
        if (it == tables.end()) return -1;
        const auto index = it - tables.begin();
        return blank[static_cast<std::size_t>(index)] ? -1 : static_cast<int>(index);
    };
    const auto resolve = [&](const TQBTableDef* bound, const std::string& name) -> int {
        if (bound) return usable(bound);
        return IsBlankText(name) ? -1 : usable(FindByAlias(name));
    };

    std::vector<TLink> links;
    if (const TQBJoinDefs* joins = Parser ? Parser->GetJoinDefs() : nullptr) {
        links.reserve(static_cast<std::size_t>(joins->Count()));
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

    std::vector<TGroup> groups;
    for (const TLink& link : links) {
        if (link.B < 0) continue;
        bool found = false;
        for (TGroup& group : groups)
            if (Contains(group, link.A)) {
                found = true;
                if (!Contains(group, link.B)) group.push_back(link.B);
            }
        for (TGroup& group : groups)
            if (Contains(group, link.B)) {
                found = true;
                if (!Contains(group, link.A)) group.push_back(link.A);
            }
        if (!found) {
            groups.emplace_back();
            groups.back().reserve(static_cast<std::size_t>(tableCount));
            groups.back().push_back(link.A);
            groups.back().push_back(link.B);
        }
    }
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
    std::vector<TJoinOrderLink> orderLinks;
    std::vector<const TLink*> pool;
    for (const TGroup& group : groups) {
        if (group.empty()) continue;
        separate();
        Out += ' ';
        pool.clear();
        orderLinks.clear();
        for (const TLink& link : links) {
            if (!Contains(group, link.A) && !(link.B >= 0 && Contains(group, link.B))) continue;
            pool.push_back(&link);
            orderLinks.push_back({IndexIn(group, link.A), link.B >= 0 ? IndexIn(group, link.B) : -1,
                                  link.SwapFor >= 0 ? IndexIn(group, link.SwapFor) : -1,
                                  link.Join->JoinType});
        }
        TJoinOrderResult order = SearchJoinOrder(static_cast<int>(group.size()), orderLinks);
        if (!order.Found) throw EQBException(QBResource::SCannotBuildJoin);
        // A condition without partner on the first table would have no place: it goes
        // into the first ON clause.
        std::vector<bool> used(pool.size(), false);
        for (const auto& step : order.Attached)
            for (int id : step) used[static_cast<std::size_t>(id)] = true;
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
            Out += ' ';
            AppendKeyword(Out, Parser, "ON");
            Out += ' ';
            for (std::size_t k = 0; k < step.size(); ++k) {
                if (k > 0) {
                    Out += "\r\n  ";
                    AppendKeyword(Out, Parser, "AND");
                    Out += ' ';
                }
                pool[static_cast<std::size_t>(step[k])]->Join->AppendSQL(Out);
            }
        }
    }
    // Tables in no group stand alone, in collection order.
    for (int i = 0; i < tableCount; ++i) {
        if (blank[static_cast<std::size_t>(i)]) continue;
        const bool grouped = std::any_of(groups.begin(), groups.end(),
                                         [i](const TGroup& g) { return Contains(g, i); });
        if (grouped) continue;
        separate();
        Out += ' ';
        tables[static_cast<std::size_t>(i)]->AppendSQL(Out);
    }
}
