// The FROM clause writer: groups of tables connected by join conditions, each written as
// a chain of joins in an order searched so that every condition can be attached.
#include "lexer/QBScanner.h"
#include "model/QBJoinDefs.h"
#include "model/QBJoinOrder.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

#include <algorithm>
#include <vector>

namespace {

// One join condition as the writer sees it: the two tables it links (B null when it has
// no partner) and the table whose attachment exchanges LEFT and RIGHT.
struct TLink {
    const TQBJoinDef* Join = nullptr;
    TQBTableDef* A = nullptr;
    TQBTableDef* B = nullptr;
    TQBTableDef* SwapFor = nullptr;
};

using TGroup = std::vector<TQBTableDef*>;

bool Contains(const TGroup& Group, const TQBTableDef* Table) {
    return std::find(Group.begin(), Group.end(), Table) != Group.end();
}

int IndexIn(const TGroup& Group, const TQBTableDef* Table) {
    const auto it = std::find(Group.begin(), Group.end(), Table);
    return it == Group.end() ? -1 : static_cast<int>(it - Group.begin());
}

std::string JoinKeyword(const TQBTableDefs& Tables, std::uint8_t Type) {
    static const char* const words[][3] = {
        {"INNER", "JOIN", nullptr}, {"LEFT", "OUTER", "JOIN"}, {"RIGHT", "OUTER", "JOIN"},
        {"FULL", "OUTER", "JOIN"}};
    std::string result;
    for (const char* word : words[Type <= 3 ? Type : 0]) {
        if (!word) break;
        if (!result.empty()) result += " ";
        result += Tables.FormatKeyword(word);
    }
    return result;
}

}  // namespace

std::string TQBTableDefs::FromSQL() const {
    // Only tables of this collection, never the blank one, take part in a join.
    const auto usable = [this](TQBTableDef* table) -> TQBTableDef* {
        for (int i = 0; table && i < Count(); ++i)
            if (Items(i) == table) return table->IsBlank() ? nullptr : table;
        return nullptr;
    };
    const auto resolve = [&](TQBTableDef* bound, const std::string& name) -> TQBTableDef* {
        if (bound) return usable(bound);
        return Trim(name).empty() ? nullptr : usable(FindByAlias(name));
    };

    std::vector<TLink> links;
    if (const TQBJoinDefs* joins = Parser ? Parser->GetJoinDefs() : nullptr) {
        for (int i = 0; i < joins->Count(); ++i) {
            const TQBJoinDef* join = joins->Items(i);
            TQBTableDef* left = resolve(join->LeftTableDef, join->LeftTable);
            TQBTableDef* right = resolve(join->RightTableDef, join->RightTable);
            if (left && right && left != right) {
                links.push_back({join, left, right, left});
                continue;
            }
            TQBTableDef* own = left ? left : right;
            if (!own) continue;
            // A condition on one table links it with the table of its JOIN clause.
            TQBTableDef* partner = resolve(join->PreferredTableDef, join->PreferredTable);
            if (partner && partner != own) {
                TQBTableDef* first = join->PreferredFollowed ? partner : own;
                TQBTableDef* second = first == own ? partner : own;
                links.push_back({join, first, second, first});
            } else {
                links.push_back({join, own, nullptr, nullptr});
            }
        }
    }

    std::vector<TGroup> groups;
    for (const TLink& link : links) {
        if (!link.B) continue;
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
        if (!found) groups.push_back({link.A, link.B});
    }
    for (int n = static_cast<int>(groups.size()) - 1; n >= 1; --n) {
        TGroup& later = groups[static_cast<std::size_t>(n)];
        for (int k = 0; k < n; ++k) {
            TGroup& earlier = groups[static_cast<std::size_t>(k)];
            const bool shares = std::any_of(later.begin(), later.end(),
                                            [&earlier](TQBTableDef* t) { return Contains(earlier, t); });
            if (!shares) continue;
            for (TQBTableDef* table : later)
                if (!Contains(earlier, table)) earlier.push_back(table);
            later.clear();
            break;
        }
    }
    for (int i = 0; i < Count(); ++i) {
        TQBTableDef* table = Items(i);
        if (table->IsBlank()) continue;
        const bool grouped = std::any_of(groups.begin(), groups.end(),
                                         [table](const TGroup& g) { return Contains(g, table); });
        if (!grouped) groups.push_back({table});
    }

    std::string result;
    for (const TGroup& group : groups) {
        if (group.empty()) continue;
        std::string chain;
        if (group.size() == 1) {
            chain = " " + group.front()->GetSQL();
        } else {
            std::vector<const TLink*> pool;
            std::vector<TJoinOrderLink> orderLinks;
            for (const TLink& link : links) {
                if (!Contains(group, link.A) && !(link.B && Contains(group, link.B))) continue;
                pool.push_back(&link);
                orderLinks.push_back({IndexIn(group, link.A), link.B ? IndexIn(group, link.B) : -1,
                                      link.SwapFor ? IndexIn(group, link.SwapFor) : -1,
                                      link.Join->JoinType});
            }
            const TJoinOrderResult order = SearchJoinOrder(static_cast<int>(group.size()), orderLinks);
            if (!order.Found) throw EQBException(QBResource::SCannotBuildJoin);
            std::vector<std::vector<int>> attached = order.Attached;
            // A condition without partner on the first table would have no place: it goes
            // into the first ON clause.
            std::vector<bool> used(pool.size(), false);
            for (const auto& step : attached)
                for (int id : step) used[static_cast<std::size_t>(id)] = true;
            for (std::size_t id = 0; id < pool.size(); ++id)
                if (!used[id] && !pool[id]->B) attached[1].push_back(static_cast<int>(id));

            chain = " " + group[static_cast<std::size_t>(order.Order.front())]->GetSQL();
            for (std::size_t i = 1; i < order.Order.size(); ++i) {
                const int table = order.Order[i];
                const std::vector<int>& step = attached[i];
                const TJoinOrderLink& decisive = orderLinks[static_cast<std::size_t>(step.front())];
                std::string condition;
                for (std::size_t k = 0; k < step.size(); ++k) {
                    if (k > 0) condition += "\r\n  " + FormatKeyword("AND") + " ";
                    condition += pool[static_cast<std::size_t>(step[k])]->Join->GetSQL();
                }
                chain += "\r\n " + JoinKeyword(*this, EffectiveJoinType(decisive, table)) + " " +
                         group[static_cast<std::size_t>(table)]->GetSQL() + " " + FormatKeyword("ON") +
                         " " + condition;
            }
        }
        if (!result.empty()) result += ",\r\n";
        result += chain;
    }
    return result;
}
