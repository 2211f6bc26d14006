// The search for the order in which the tables of one group of joined tables are written
// in the FROM clause: every table after the first must be attached to tables before it by
// join conditions that all have the same effective type relative to it.
//
// The result is defined by a depth-first backtracking search (tables tried in group order,
// conditions taken from a pool in its current order, conditions of an abandoned attempt
// put back at the end of the pool). SearchJoinOrderPlain runs that search as it stands; it
// can take factorial time when no order exists. SearchJoinOrder returns exactly the same
// result: the subtree below a set of placed tables succeeds or fails whatever the order they
// were placed in, so failed sets are remembered, dead ends are recognised early, and the
// pool reshuffling a failed subtree would cause is replayed from a remembered sort key.
#pragma once

#include <cstdint>
#include <vector>

struct TJoinOrderLink {
    int A = -1;          // table at one end (index in the group)
    int B = -1;          // table at the other end, -1 when none
    int SwapFor = -1;    // attaching this table exchanges LEFT and RIGHT; -1 never
    std::uint8_t Type = 0;  // 0 inner, 1 left, 2 right, 3 full
};

struct TJoinOrderResult {
    bool Found = false;
    std::vector<int> Order;                  // group indices, first table first
    std::vector<std::vector<int>> Attached;  // per position: link indices, first is decisive
};

// Effective type of Link relative to the table Table being attached.
std::uint8_t EffectiveJoinType(const TJoinOrderLink& Link, int Table);

// The reference search: plain backtracking (tables 0..TableCount-1 in group order, Links in
// pool order). Exponential; used to check the fast search.
TJoinOrderResult SearchJoinOrderPlain(int TableCount, const std::vector<TJoinOrderLink>& Links);

// The same result as SearchJoinOrderPlain without its factorial worst case: the plain
// search under a small step budget, then the memoising search when that runs out.
TJoinOrderResult SearchJoinOrder(int TableCount, const std::vector<TJoinOrderLink>& Links);

// The same, into Result, whose storage is reused.
void SearchJoinOrder(int TableCount, const std::vector<TJoinOrderLink>& Links, TJoinOrderResult& Result);

// The memoising search alone (the fallback of SearchJoinOrder), open to checks.
TJoinOrderResult SearchJoinOrderMemo(int TableCount, const std::vector<TJoinOrderLink>& Links);
