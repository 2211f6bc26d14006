// The join-order search: the fast search must return exactly what the plain backtracking
// search returns, and must answer at once where the plain one would run for ages.
#include "ModelTestSupport.h"

#include "model/QBJoinOrder.h"
#include "toolkit/Exceptions.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

std::string Describe(const TJoinOrderResult& R) {
    std::ostringstream out;
    out << (R.Found ? "found" : "none");
    for (std::size_t i = 0; i < R.Order.size(); ++i) {
        out << " " << R.Order[i] << "[";
        if (i < R.Attached.size())
            for (int id : R.Attached[i]) out << id << ",";
        out << "]";
    }
    return out.str();
}

std::string Describe(int N, const std::vector<TJoinOrderLink>& Links) {
    std::ostringstream out;
    out << N << " tables:";
    for (const TJoinOrderLink& l : Links) out << " (" << l.A << "," << l.B << " t" << int(l.Type) << " s" << l.SwapFor << ")";
    return out.str();
}

struct RandomCase {
    const char* name;
    int maxTables;
    int maxLinks;
    int typeRange;    // types drawn from 0..typeRange-1
    int loosePercent; // links without a second table
    unsigned seed;
};

class JoinOrderAgreement : public ::testing::TestWithParam<RandomCase> {};

TEST_P(JoinOrderAgreement, FastSearchEqualsPlainSearch) {
    const RandomCase& c = GetParam();
    std::mt19937 random(c.seed);
    int found = 0;
    for (int round = 0; round < 4000; ++round) {
        const int n = 2 + static_cast<int>(random() % static_cast<unsigned>(c.maxTables - 1));
        const int m = 1 + static_cast<int>(random() % static_cast<unsigned>(c.maxLinks));
        std::vector<TJoinOrderLink> links;
        for (int i = 0; i < m; ++i) {
            TJoinOrderLink link;
            link.A = static_cast<int>(random() % static_cast<unsigned>(n));
            if (static_cast<int>(random() % 100) >= c.loosePercent) {
                link.B = static_cast<int>(random() % static_cast<unsigned>(n));
                if (link.B == link.A) link.B = (link.A + 1) % n;
                link.SwapFor = random() % 2 ? link.A : link.B;
            }
            link.Type = static_cast<std::uint8_t>(random() % static_cast<unsigned>(c.typeRange));
            links.push_back(link);
        }
        const TJoinOrderResult plain = SearchJoinOrderPlain(n, links);
        const TJoinOrderResult fast = SearchJoinOrder(n, links);
        ASSERT_EQ(Describe(fast), Describe(plain)) << Describe(n, links);
        // Small cases never reach the memoising fallback through SearchJoinOrder.
        ASSERT_EQ(Describe(SearchJoinOrderMemo(n, links)), Describe(plain)) << Describe(n, links);
        found += plain.Found;
    }
    // Both outcomes must have been exercised.
    EXPECT_GT(found, 100);
    EXPECT_LT(found, 3900);
}

INSTANTIATE_TEST_SUITE_P(
    Model, JoinOrderAgreement,
    ::testing::Values(RandomCase{"inner_and_left", 6, 8, 2, 0, 1},
                      RandomCase{"all_types", 6, 9, 4, 0, 2},
                      RandomCase{"with_loose_conditions", 6, 9, 3, 20, 3},
                      RandomCase{"dense", 5, 12, 2, 5, 4},
                      RandomCase{"larger_sparse", 8, 10, 2, 10, 5}),
    [](const auto& info) { return std::string(info.param.name); });

// Forty tables: a hub joined to every other table, plus Extra joined to the hub twice with
// different types.
std::vector<TJoinOrderLink> Star(int Tables, bool DoubleJoined) {
    std::vector<TJoinOrderLink> links;
    for (int t = 1; t < Tables; ++t) links.push_back({0, t, 0, 0});
    if (DoubleJoined) {
        links.push_back({0, Tables, 0, 1});
        links.push_back({0, Tables, 0, 0});
    }
    return links;
}

TEST(JoinOrder, MissingOrderOfABigStarIsReported) {
    const TJoinOrderResult result = SearchJoinOrder(40, Star(39, true));
    EXPECT_FALSE(result.Found);
}

TEST(JoinOrder, MissingOrderInsideABigStarIsReported) {
    // Hub 0 with 36 spokes; tables 37, 38, 39 form a triangle whose later table always
    // meets two different types: INNER 37-38, LEFT 37-39 (RIGHT seen from 37), FULL 38-39.
    std::vector<TJoinOrderLink> links = Star(37, false);
    links.push_back({0, 37, 0, 0});
    links.push_back({37, 38, 37, 0});
    links.push_back({37, 39, 37, 1});
    links.push_back({38, 39, 38, 3});
    EXPECT_FALSE(SearchJoinOrder(40, links).Found);
}

TEST(JoinOrder, OrderBehindAHopelessFirstTableIsFound) {
    // Hub 0 with spokes 1..37; table 38 has a LEFT condition of its own and an INNER join
    // to the hub, so it can never follow the hub: starting at the hub fails only after
    // every order of the spokes has been tried.
    std::vector<TJoinOrderLink> links = Star(38, false);
    links.push_back({38, -1, -1, 1});
    links.push_back({38, 0, 38, 0});
    const TJoinOrderResult result = SearchJoinOrder(39, links);
    ASSERT_TRUE(result.Found);
    std::vector<int> expected{1, 38, 0};
    for (int t = 2; t < 38; ++t) expected.push_back(t);
    EXPECT_EQ(result.Order, expected);
    EXPECT_EQ(result.Attached[1], std::vector<int>{37});  // the condition of its own
}

TEST(JoinOrder, LongBacktrackingGivesThePlainResultThroughTheFallback) {
    // Eight spokes and a table that can never follow the hub: the plain search tries every
    // order of the spokes first, far more steps than the quick search may take.
    std::vector<TJoinOrderLink> links = Star(9, false);
    links.push_back({9, -1, -1, 1});
    links.push_back({9, 0, 9, 0});
    const TJoinOrderResult plain = SearchJoinOrderPlain(10, links);
    ASSERT_TRUE(plain.Found);
    EXPECT_EQ(Describe(SearchJoinOrder(10, links)), Describe(plain));
}

TEST(JoinOrder, StarIsWrittenHubFirst) {
    const TJoinOrderResult result = SearchJoinOrder(40, Star(40, false));
    ASSERT_TRUE(result.Found);
    EXPECT_EQ(result.Order.front(), 0);
    EXPECT_EQ(result.Order.back(), 39);
    EXPECT_EQ(result.Attached[39], std::vector<int>{38});
}

TEST(JoinOrder, ModelReportsTheMissingOrderOfTheDoubleJoinedStar) {
    auto parser = BaseParser();
    AddTable(*parser, "hub");
    for (int t = 1; t < 40; ++t) {
        const std::string name = "t" + std::to_string(t);
        AddTable(*parser, name);
        AddJoin(*parser, "hub", "id", name, "hid");
    }
    AddTable(*parser, "extra");
    AddJoin(*parser, "hub", "id", "extra", "hid", 1);
    AddJoin(*parser, "hub", "k", "extra", "k", 0);
    EXPECT_THROW(parser->GetTableDefs()->GetSQL(), EQBException);
}

}  // namespace
