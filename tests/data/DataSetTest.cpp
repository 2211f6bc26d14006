// Record navigation, fields and row access, over an in-memory data set.
#include "data/DataError.h"
#include "data/MemoryDataSet.h"

#include <gtest/gtest.h>

namespace {

void Fill(TMemoryDataSet& data, int rows) {
    data.AddField("ID", ftInteger).AddField("Name", ftString, 20);
    for (int i = 1; i <= rows; ++i)
        data.AppendRow({{std::to_string(i), false}, i == 2 ? TDataValue{"", true} : TDataValue{"n" + std::to_string(i), false}});
}

struct TMoveCase {
    const char* Name;
    int Rows;
    const char* Moves;  // F first, P prior, N next, L last, R refresh
    int RecNo;
    bool Bof;
    bool Eof;
};

void PrintTo(const TMoveCase& c, std::ostream* os) { *os << c.Name; }

class DataSetNavigationTest : public testing::TestWithParam<TMoveCase> {};

TEST_P(DataSetNavigationTest, EndsOnTheExpectedRecord) {
    const auto& c = GetParam();
    TMemoryDataSet data;
    Fill(data, c.Rows);
    data.Open();
    for (const char* m = c.Moves; *m; ++m) {
        switch (*m) {
        case 'F': data.First(); break;
        case 'P': data.Prior(); break;
        case 'N': data.Next(); break;
        case 'L': data.Last(); break;
        case 'R': data.Refresh(); break;
        }
    }
    EXPECT_EQ(data.RecNo(), c.RecNo);
    EXPECT_EQ(data.Bof(), c.Bof);
    EXPECT_EQ(data.Eof(), c.Eof);
    if (c.RecNo > 0) {
        EXPECT_EQ(data.Fields(0).AsString(), std::to_string(c.RecNo));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataSetNavigationTest,
    testing::Values(TMoveCase{"OpenIsOnTheFirstRecord", 3, "", 1, true, false},
                    TMoveCase{"OpenEmptyIsBofAndEof", 0, "", 0, true, true},
                    TMoveCase{"NextMovesForward", 3, "NN", 3, false, false},
                    TMoveCase{"NextPastTheEndSetsEof", 3, "NNN", 3, false, true},
                    TMoveCase{"PriorMovesBack", 3, "NNP", 2, false, false},
                    TMoveCase{"PriorBeforeTheStartSetsBof", 3, "NPP", 1, true, false},
                    TMoveCase{"LastReadsToTheEnd", 5, "L", 5, false, true},
                    TMoveCase{"PriorAfterLastLeavesEof", 5, "LP", 4, false, false},
                    TMoveCase{"FirstAfterLast", 5, "LF", 1, true, false},
                    TMoveCase{"BackAndForthAcrossReadRows", 4, "NNNPPPN", 2, false, false},
                    TMoveCase{"RefreshKeepsTheRecord", 4, "NNR", 3, false, false},
                    TMoveCase{"EmptyIgnoresMoves", 0, "NPLF", 0, true, true},
                    TMoveCase{"SingleRowNextSetsEof", 1, "N", 1, true, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DataSetTest, RowsAreReadOnlyWhenNeeded) {
    TMemoryDataSet data;
    Fill(data, 100);
    data.Open();
    EXPECT_EQ(data.RecordsRead(), 1u);
    data.Next();
    data.Next();
    EXPECT_EQ(data.RecordsRead(), 3u);
    data.Prior();
    EXPECT_EQ(data.RecordsRead(), 3u);
    EXPECT_EQ(data.FetchMore(10), 10u);
    EXPECT_EQ(data.RecordsRead(), 13u);
    EXPECT_FALSE(data.AllRead());
    data.Last();
    EXPECT_TRUE(data.AllRead());
    EXPECT_EQ(data.FetchMore(10), 0u);
    EXPECT_EQ(data.Row(99).Text(1), "n100");
    EXPECT_THROW(data.Row(100), EDataError);
}

struct TRowCase {
    const char* Name;
    TDataValues Values;
};

void PrintTo(const TRowCase& c, std::ostream* os) { *os << c.Name; }

class DataRowTest : public testing::TestWithParam<TRowCase> {};

TEST_P(DataRowTest, PackedRowGivesBackEveryValue) {
    const auto& values = GetParam().Values;
    const TDataRow packed(values);
    const TDataRow copy = packed;  // copies must not share or lose the buffer
    for (const TDataRow* row : {&packed, &copy}) {
        ASSERT_EQ(row->Count(), values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            EXPECT_EQ(row->IsNull(i), values[i].Null) << i;
            EXPECT_EQ(row->Text(i), values[i].Null ? std::string() : values[i].Text) << i;
        }
        EXPECT_THROW(row->Text(values.size()), EDataError);
        EXPECT_THROW(row->IsNull(values.size()), EDataError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataRowTest,
    testing::Values(TRowCase{"NoValues", {}},
                    TRowCase{"OneNull", {{"", true}}},
                    TRowCase{"NullThenText", {{"", true}, {"abc", false}}},
                    TRowCase{"EmptyIsNotNull", {{"", false}, {"", true}, {"", false}}},
                    TRowCase{"TextOfANullIsDropped", {{"ignored", true}, {"x", false}}},
                    TRowCase{"ChineseAndLong", {{"绿茶", false}, {std::string(70000, 'x'), false}, {"z", false}}},
                    TRowCase{"EmbeddedZeroByte", {{std::string("a\0b", 3), false}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DataSetTest, NullValuesAreEmptyAndFlagged) {
    TMemoryDataSet data;
    Fill(data, 3);
    data.Open();
    data.Next();
    EXPECT_TRUE(data.Fields(1).IsNull());
    EXPECT_EQ(data.Fields(1).AsString(), "");
    data.Next();
    EXPECT_FALSE(data.Fields(1).IsNull());
    EXPECT_EQ(data.Fields(1).AsString(), "n3");
}

TEST(DataSetTest, FieldsDescribeTheColumns) {
    TMemoryDataSet data;
    Fill(data, 0);
    data.Open();
    ASSERT_EQ(data.FieldCount(), 2);
    EXPECT_EQ(data.Fields(1).FieldName(), "Name");
    EXPECT_EQ(data.Fields(1).DataType(), ftString);
    EXPECT_EQ(data.FindField("name"), &data.Fields(1));
    EXPECT_EQ(data.FindField("missing"), nullptr);
    EXPECT_TRUE(data.Fields(0).IsNull());
    EXPECT_THROW(data.Fields(2), EDataError);
    EXPECT_THROW(data.Fields(-1), EDataError);
}

TEST(DataSetTest, ClosedDataSetRefusesNavigationAndForgetsFields) {
    TMemoryDataSet data;
    Fill(data, 2);
    EXPECT_THROW(data.Next(), EDataError);
    data.Open();
    data.Close();
    EXPECT_FALSE(data.Active());
    EXPECT_EQ(data.FieldCount(), 0);
    for (auto move : {&TDataSet::First, &TDataSet::Prior, &TDataSet::Next, &TDataSet::Last, &TDataSet::Refresh})
        EXPECT_THROW((data.*move)(), EDataError);
}

TEST(DataSetTest, MemoryDataSetChecksItsRows) {
    TMemoryDataSet data;
    data.AddField("A", ftString);
    EXPECT_THROW(data.AppendRow({{"1", false}, {"2", false}}), EDataError);
    data.Open();
    EXPECT_THROW(data.AddField("B", ftString), EDataError);
}

}  // namespace
