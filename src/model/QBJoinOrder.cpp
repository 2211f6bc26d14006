// Join-order search of the FROM writer: the plain backtracking search, the same search
// under a step budget, and the memoising search that returns the same result.
#include "model/QBJoinOrder.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <functional>
#include <map>
#include <numeric>
#include <unordered_map>
#include <unordered_set>
#include <utility>

std::uint8_t EffectiveJoinType(const TJoinOrderLink& Link, int Table) {
    if (Link.SwapFor >= 0 && Link.SwapFor == Table) {
        if (Link.Type == 1) return 2;
        if (Link.Type == 2) return 1;
    }
    return Link.Type;
}

namespace {

// Link L attaches table P once the tables marked in Placed are placed.
template <class IsPlaced>
bool Attaches(const TJoinOrderLink& L, int P, const IsPlaced& Placed) {
    return (L.A == P && (L.B < 0 || Placed(L.B))) || (L.B == P && (L.A < 0 || Placed(L.A)));
}

// True when the links Ids (non-empty) all have the same effective type relative to P.
bool SameTypes(const std::vector<TJoinOrderLink>& Links, const std::vector<int>& Ids, int P) {
    if (Ids.empty()) return false;
    const std::uint8_t first = EffectiveJoinType(Links[static_cast<std::size_t>(Ids.front())], P);
    for (int id : Ids)
        if (EffectiveJoinType(Links[static_cast<std::size_t>(id)], P) != first) return false;
    return true;
}

// --- the plain search ---

class TPlainSearch {
public:
    TPlainSearch(int N, const std::vector<TJoinOrderLink>& Links)
        : FLinks(Links), FPlaced(static_cast<std::size_t>(N), false), FN(N) {
        FPool.resize(Links.size());
        std::iota(FPool.begin(), FPool.end(), 0);
        FResult.Order.assign(static_cast<std::size_t>(N), -1);
        FResult.Attached.assign(static_cast<std::size_t>(N), {});
    }

    TJoinOrderResult Run() {
        for (int first = 0; first < FN; ++first) {
            FPlaced[static_cast<std::size_t>(first)] = true;
            FResult.Order[0] = first;
            if (FN == 1 || Place(1)) {
                FResult.Found = true;
                return FResult;
            }
            FPlaced[static_cast<std::size_t>(first)] = false;
        }
        return TJoinOrderResult{};
    }

private:
    bool Place(int I) {
        const auto placed = [this](int t) { return FPlaced[static_cast<std::size_t>(t)]; };
        for (int p = 0; p < FN; ++p) {
            if (placed(p)) continue;
            std::vector<int> a;
            for (int id : FPool)
                if (Attaches(FLinks[static_cast<std::size_t>(id)], p, placed)) a.push_back(id);
            if (!SameTypes(FLinks, a, p)) continue;
            FPlaced[static_cast<std::size_t>(p)] = true;
            FResult.Order[static_cast<std::size_t>(I)] = p;
            FResult.Attached[static_cast<std::size_t>(I)] = a;
            std::erase_if(FPool, [&a](int id) { return std::find(a.begin(), a.end(), id) != a.end(); });
            if (I == FN - 1 || Place(I + 1)) return true;
            FPlaced[static_cast<std::size_t>(p)] = false;
            FResult.Attached[static_cast<std::size_t>(I)].clear();
            FPool.insert(FPool.end(), a.begin(), a.end());
        }
        return false;
    }

    const std::vector<TJoinOrderLink>& FLinks;
    std::vector<bool> FPlaced;
    std::vector<int> FPool;
    TJoinOrderResult FResult;
    int FN;
};

// --- the plain search under a step budget, without allocations while it runs ---

class TBoundedSearch {
public:
    static constexpr int kMaxTables = 64;
    static constexpr std::size_t kMaxLinks = 64;

    TBoundedSearch(int N, const std::vector<TJoinOrderLink>& Links)
        : FLinks(Links.data()), FN(N), FPoolSize(static_cast<int>(Links.size())) {
        std::iota(FPool, FPool + FPoolSize, 0);
    }

    // Runs the plain search into Result; false when the budget ran out before it ended
    // (Result is then left as it was).
    bool Run(TJoinOrderResult& Result) {
        if (HasConflictingPair()) return NoOrder(Result);
        for (int first = 0; first < FN; ++first) {
            FPlaced = std::uint64_t{1} << first;
            FOrder[0] = first;
            if (FN == 1 || Place(1)) {
                if (FAborted) return false;
                Result.Found = true;
                Result.Order.assign(FOrder, FOrder + FN);
                Result.Attached.resize(static_cast<std::size_t>(FN));
                Result.Attached[0].clear();
                for (int i = 1; i < FN; ++i)
                    Result.Attached[static_cast<std::size_t>(i)].assign(
                        FTaken + FStepStart[i], FTaken + FStepStart[i] + FStepCount[i]);
                return true;
            }
            if (FAborted) return false;
        }
        return NoOrder(Result);
    }

private:
    // Pool entries looked at before the memoising search takes over: far beyond what a
    // group that needs no long backtracking takes, small next to that search's set-up.
    static constexpr long kWorkBudget = 4'000;

    bool IsPlaced(int T) const { return (FPlaced >> T) & 1u; }

    bool Place(int I) {
        const int start = I == 1 ? 0 : FStepStart[I - 1] + FStepCount[I - 1];
        for (int p = 0; p < FN; ++p) {
            if (IsPlaced(p)) continue;
            FWork += FPoolSize + 1;
            if (FWork > kWorkBudget) {
                FAborted = true;
                return false;
            }
            // The links attaching p must all have one type; only then are they taken out of
            // the pool (the rest keeps its order).
            int count = 0;
            std::uint8_t type = 0;
            bool same = true;
            for (int k = 0; k < FPoolSize && same; ++k) {
                const TJoinOrderLink& link = FLinks[FPool[k]];
                if (!Attaches(link, p)) continue;
                const std::uint8_t t = EffectiveJoinType(link, p);
                if (count++ == 0)
                    type = t;
                else
                    same = t == type;
            }
            if (count == 0 || !same) continue;
            count = 0;
            int rest = 0;
            for (int k = 0; k < FPoolSize; ++k) {
                const int id = FPool[k];
                if (Attaches(FLinks[id], p))
                    FTaken[start + count++] = id;
                else
                    FPool[rest++] = id;
            }
            FPoolSize = rest;
            FPlaced |= std::uint64_t{1} << p;
            FOrder[I] = p;
            FStepStart[I] = start;
            FStepCount[I] = count;
            if (I == FN - 1 || Place(I + 1)) return true;
            if (FAborted) return false;
            FPlaced &= ~(std::uint64_t{1} << p);
            // The links of the abandoned attempt go to the end of the pool.
            for (int k = 0; k < count; ++k) FPool[FPoolSize++] = FTaken[start + k];
        }
        return false;
    }

    static bool NoOrder(TJoinOrderResult& Result) {
        Result.Found = false;
        Result.Order.clear();
        Result.Attached.clear();
        return true;
    }

    // Two links between the same two tables with different types: whichever table comes
    // later would need both, so no order exists and the search need not be run.
    bool HasConflictingPair() const {
        // Inner joins only: every link has the one type whichever way it is attached.
        bool outer = false;
        for (int i = 0; i < FPoolSize && !outer; ++i) outer = FLinks[i].Type != 0;
        if (!outer) return false;
        for (int i = 0; i < FPoolSize; ++i) {
            const TJoinOrderLink& a = FLinks[i];
            if (a.A < 0 || a.B < 0 || a.A == a.B) continue;
            const int low = std::min(a.A, a.B);
            for (int k = i + 1; k < FPoolSize; ++k) {
                const TJoinOrderLink& b = FLinks[k];
                if (b.A < 0 || b.B < 0 || std::min(b.A, b.B) != low || std::max(b.A, b.B) != std::max(a.A, a.B))
                    continue;
                if (EffectiveJoinType(a, low) != EffectiveJoinType(b, low)) return true;
            }
        }
        return false;
    }

    bool Attaches(const TJoinOrderLink& L, int P) const {
        return (L.A == P && (L.B < 0 || IsPlaced(L.B))) || (L.B == P && (L.A < 0 || IsPlaced(L.A)));
    }

    const TJoinOrderLink* FLinks;
    int FN;
    int FPool[kMaxLinks];
    int FPoolSize;
    int FTaken[kMaxLinks];  // the links attached per position, position after position
    // Written for a position before anything reads them.
    int FOrder[kMaxTables];
    int FStepStart[kMaxTables];
    int FStepCount[kMaxTables];
    std::uint64_t FPlaced = 0;
    long FWork = 0;
    bool FAborted = false;
};

// --- the fast search ---

using TBits = std::vector<std::uint64_t>;

struct TBitsHash {
    std::size_t operator()(const TBits& Bits) const {
        std::size_t h = 0;
        for (std::uint64_t word : Bits) h = h * 1000003u ^ std::hash<std::uint64_t>{}(word);
        return h;
    }
};

bool HasBit(const TBits& Bits, int I) { return (Bits[static_cast<std::size_t>(I >> 6)] >> (I & 63)) & 1u; }
void SetBit(TBits& Bits, int I) { Bits[static_cast<std::size_t>(I >> 6)] |= std::uint64_t{1} << (I & 63); }

// Work limits, far beyond what a diagram needs. Past the first the search gives up (no
// order is reported); past the second the conditions of a step keep their pool order where
// the plain search would have reshuffled them while backtracking.
constexpr long kExistenceStepLimit = 2'000'000;
constexpr long kReplayWorkLimit = 5'000;

class TFastSearch {
public:
    TFastSearch(int N, const std::vector<TJoinOrderLink>& Links)
        : FLinks(Links), FN(N), FWords(static_cast<std::size_t>((N + 63) / 64)),
          FIncident(static_cast<std::size_t>(N)) {
        for (int id = 0; id < static_cast<int>(Links.size()); ++id) {
            const TJoinOrderLink& link = Links[static_cast<std::size_t>(id)];
            if (link.A >= 0) FIncident[static_cast<std::size_t>(link.A)].push_back(id);
            if (link.B >= 0 && link.B != link.A) FIncident[static_cast<std::size_t>(link.B)].push_back(id);
        }
    }

    TJoinOrderResult Run() {
        TJoinOrderResult result;
        if (FN <= 0 || HasConflictingPair()) return result;
        // Walk the plain search's path, asking the oracle before each step.
        std::vector<int> path;
        std::vector<int> a;
        for (int first = 0; first < FN && path.empty() && !FAborted; ++first) {
            TBits placed(FWords, 0);
            SetBit(placed, first);
            if (Exists(placed)) path.push_back(first);
        }
        if (path.empty()) return result;
        TBits placed(FWords, 0);
        SetBit(placed, path.front());
        while (static_cast<int>(path.size()) < FN && !FAborted) {
            int chosen = -1;
            for (int p = 0; p < FN && chosen < 0; ++p) {
                if (HasBit(placed, p) || !Attach(placed, p, a)) continue;
                TBits child = placed;
                SetBit(child, p);
                if (Exists(child)) chosen = p;
            }
            if (chosen < 0) return result;  // only after the work limit was hit
            SetBit(placed, chosen);
            path.push_back(chosen);
        }
        if (FAborted) return result;
        result.Found = true;
        result.Order = path;
        result.Attached = Replay(path);
        return result;
    }

private:
    // Links that attach P to the placed tables, in link order; true when they may attach it.
    bool Attach(const TBits& Placed, int P, std::vector<int>& A) const {
        A.clear();
        const auto placed = [&Placed](int t) { return HasBit(Placed, t); };
        for (int id : FIncident[static_cast<std::size_t>(P)])
            if (Attaches(FLinks[static_cast<std::size_t>(id)], P, placed)) A.push_back(id);
        return SameTypes(FLinks, A, P);
    }

    // True when every table linked with P is placed.
    bool Settled(const TBits& Placed, int P) const {
        for (int id : FIncident[static_cast<std::size_t>(P)]) {
            const TJoinOrderLink& link = FLinks[static_cast<std::size_t>(id)];
            const int other = link.A == P ? link.B : link.A;
            if (other >= 0 && !HasBit(Placed, other)) return false;
        }
        return true;
    }

    // Two links between the same two tables with different types: whichever table comes
    // later would need both, so no order exists.
    bool HasConflictingPair() const {
        std::map<std::pair<int, int>, std::uint8_t> seen;
        for (const TJoinOrderLink& link : FLinks) {
            if (link.A < 0 || link.B < 0 || link.A == link.B) continue;
            const int low = std::min(link.A, link.B);
            const auto [it, inserted] = seen.emplace(std::make_pair(low, std::max(link.A, link.B)),
                                                     EffectiveJoinType(link, low));
            if (!inserted && it->second != EffectiveJoinType(link, low)) return true;
        }
        return false;
    }

    // Whether the unplaced tables can all be placed after the tables in Placed, in some
    // order. A table whose linked tables are all placed affects no other table any more: it
    // can be placed last, so it only has to be attachable.
    bool Exists(TBits Placed) {
        std::vector<int> a;
        int count = 0;
        for (int q = 0; q < FN; ++q) {
            if (HasBit(Placed, q)) {
                ++count;
                continue;
            }
            const bool attachable = Attach(Placed, q, a);
            // A table whose attaching links already disagree can never be placed.
            if (!attachable && !a.empty()) return false;
        }
        for (int q = 0; q < FN; ++q)
            if (!HasBit(Placed, q) && Settled(Placed, q)) {
                // Nothing it could still be attached by: never placeable.
                if (!Attach(Placed, q, a)) return false;
                SetBit(Placed, q);
                ++count;
            }
        if (count == FN) return true;
        if (FFailed.count(Placed)) return false;
        if (FSucceeded.count(Placed)) return true;
        if (++FSteps > kExistenceStepLimit) {
            FAborted = true;
            return false;
        }
        for (int p = 0; p < FN && !FAborted; ++p) {
            if (HasBit(Placed, p) || !Attach(Placed, p, a)) continue;
            TBits child = Placed;
            SetBit(child, p);
            if (Exists(std::move(child))) {
                FSucceeded.insert(Placed);
                return true;
            }
        }
        if (!FAborted) FFailed.insert(Placed);
        return false;
    }

    // The sort key by which the failed subtree below Placed reorders the pool: every attempt
    // takes its links out, reorders the rest, and puts its links back at the end.
    const std::vector<int>& FailKey(const TBits& Placed) {
        if (auto it = FKeys.find(Placed); it != FKeys.end()) return it->second;
        std::vector<int> key(FLinks.size(), 0);
        if (FReplayWork > kReplayWorkLimit) return FKeys.emplace(Placed, key).first->second;
        std::vector<int> a;
        std::vector<char> inA(FLinks.size());
        for (int p = 0; p < FN; ++p) {
            if (HasBit(Placed, p) || !Attach(Placed, p, a)) continue;
            TBits child = Placed;
            SetBit(child, p);
            ++FReplayWork;
            const std::vector<int> childKey = FailKey(child);
            std::fill(inA.begin(), inA.end(), 0);
            for (int id : a) inA[static_cast<std::size_t>(id)] = 1;
            // Later operations sort first: compose as (this step's key, earlier key).
            std::vector<std::pair<int, int>> pairs(FLinks.size());
            for (std::size_t x = 0; x < FLinks.size(); ++x)
                pairs[x] = {inA[x] ? INT_MAX : childKey[x], key[x]};
            std::vector<std::pair<int, int>> ranks = pairs;
            std::sort(ranks.begin(), ranks.end());
            ranks.erase(std::unique(ranks.begin(), ranks.end()), ranks.end());
            for (std::size_t x = 0; x < FLinks.size(); ++x)
                key[x] = static_cast<int>(std::lower_bound(ranks.begin(), ranks.end(), pairs[x]) - ranks.begin());
        }
        return FKeys.emplace(Placed, std::move(key)).first->second;
    }

    void ApplyKey(std::vector<int>& Pool, const std::vector<int>& Key) const {
        std::stable_sort(Pool.begin(), Pool.end(), [&Key](int x, int y) {
            return Key[static_cast<std::size_t>(x)] < Key[static_cast<std::size_t>(y)];
        });
    }

    // Walks the found order as the plain search would, replaying the pool reshuffling of the
    // attempts that failed before it, and returns the links recorded per position.
    std::vector<std::vector<int>> Replay(const std::vector<int>& Order) {
        std::vector<std::vector<int>> attached(static_cast<std::size_t>(FN));
        std::vector<int> pool(FLinks.size());
        std::iota(pool.begin(), pool.end(), 0);
        for (int first = 0; first < Order.front(); ++first) {
            TBits placed(FWords, 0);
            SetBit(placed, first);
            ApplyKey(pool, FailKey(placed));
        }
        TBits placed(FWords, 0);
        SetBit(placed, Order.front());
        std::vector<int> a;
        for (int position = 1; position < FN; ++position) {
            const int chosen = Order[static_cast<std::size_t>(position)];
            for (int p = 0; p <= chosen; ++p) {
                if (HasBit(placed, p) || !Attach(placed, p, a)) continue;
                const auto isPlaced = [&placed](int t) { return HasBit(placed, t); };
                std::vector<int> taken;
                std::vector<int> rest;
                for (int id : pool)
                    (Attaches(FLinks[static_cast<std::size_t>(id)], p, isPlaced) ? taken : rest).push_back(id);
                if (p == chosen) {
                    attached[static_cast<std::size_t>(position)] = taken;
                    pool = rest;
                    break;
                }
                TBits child = placed;
                SetBit(child, p);
                ApplyKey(rest, FailKey(child));
                rest.insert(rest.end(), taken.begin(), taken.end());
                pool = rest;
            }
            SetBit(placed, chosen);
        }
        return attached;
    }

    const std::vector<TJoinOrderLink>& FLinks;
    int FN;
    std::size_t FWords;
    std::vector<std::vector<int>> FIncident;
    std::unordered_set<TBits, TBitsHash> FFailed;
    std::unordered_set<TBits, TBitsHash> FSucceeded;
    std::unordered_map<TBits, std::vector<int>, TBitsHash> FKeys;
    long FSteps = 0;
    long FReplayWork = 0;
    bool FAborted = false;
};

}  // namespace

TJoinOrderResult SearchJoinOrderPlain(int TableCount, const std::vector<TJoinOrderLink>& Links) {
    if (TableCount <= 0) return {};
    return TPlainSearch(TableCount, Links).Run();
}

TJoinOrderResult SearchJoinOrder(int TableCount, const std::vector<TJoinOrderLink>& Links) {
    TJoinOrderResult result;
    SearchJoinOrder(TableCount, Links, result);
    return result;
}

void SearchJoinOrder(int TableCount, const std::vector<TJoinOrderLink>& Links, TJoinOrderResult& Result) {
    // Most groups are settled by the plain search in a few steps; the memoising search is
    // only worth its set-up when backtracking runs long.
    if (TableCount > 0 && TableCount <= TBoundedSearch::kMaxTables &&
        Links.size() <= TBoundedSearch::kMaxLinks && TBoundedSearch(TableCount, Links).Run(Result))
        return;
    Result = SearchJoinOrderMemo(TableCount, Links);
}

TJoinOrderResult SearchJoinOrderMemo(int TableCount, const std::vector<TJoinOrderLink>& Links) {
    TJoinOrderResult result = TFastSearch(TableCount, Links).Run();
    if (result.Found) result.Attached.resize(static_cast<std::size_t>(TableCount));
    return result;
}
