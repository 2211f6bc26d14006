// Parameter lists: ownership, copies, indexed access and the null flag.
#include "data/DataError.h"
#include "data/DataParameters.h"

#include <gtest/gtest.h>

namespace {

TEST(DataParametersTest, AddKeepsOrderAndFields) {
    TDataParameters params;
    params.Add("@p1", ftInteger, ptInput);
    params.Add("@p2", ftString, ptOutput).SetValue(TVariant("x"));
    params.AddParameter().Name = "@p3";
    ASSERT_EQ(params.Count(), 3);
    EXPECT_EQ(params[0].Name, "@p1");
    EXPECT_EQ(params[0].DataType, ftInteger);
    EXPECT_EQ(params[1].Direction, ptOutput);
    EXPECT_EQ(params[1].GetValue(), TVariant("x"));
    EXPECT_EQ(params[2].Direction, ptUnknown);
    EXPECT_TRUE(params[2].GetValue().IsUnassigned());
}

TEST(DataParametersTest, CopiesAreIndependent) {
    TDataParameters source;
    source.Add("@a", ftInteger, ptInputOutput).SetValue(TVariant(42));
    TDataParameters copy(source);
    TDataParameters assigned;
    assigned.Add("@old", ftString, ptInput);
    assigned.Assign(source);
    TDataParameters single;
    single.AddCopy(source[0]);

    source[0].SetValue(TVariant(7));
    source[0].Name = "@changed";
    for (const TDataParameters* list : {&copy, &assigned, &single}) {
        ASSERT_EQ(list->Count(), 1);
        EXPECT_EQ((*list)[0].Name, "@a");
        EXPECT_EQ((*list)[0].Direction, ptInputOutput);
        EXPECT_EQ((*list)[0].GetValue(), TVariant(42));
        EXPECT_FALSE((*list)[0].GetIsNull());
    }
}

TEST(DataParametersTest, SelfAssignmentKeepsTheEntries) {
    TDataParameters params;
    params.Add("@a", ftInteger, ptInput);
    params.Assign(params);
    ASSERT_EQ(params.Count(), 1);
    EXPECT_EQ(params[0].Name, "@a");
}

TEST(DataParametersTest, IndexOutOfRangeThrows) {
    TDataParameters params;
    params.Add("@a", ftInteger, ptInput);
    for (int bad : {-1, 1, 100}) {
        EXPECT_THROW(params.Items(bad), EDataError);
        EXPECT_THROW(params.Delete(bad), EDataError);
    }
    params.Delete(0);
    EXPECT_EQ(params.Count(), 0);
}

TEST(DataParametersTest, ClearAndLookupByName) {
    TDataParameters params;
    params.Add("@Name", ftString, ptInput);
    EXPECT_EQ(params.FindParam("@name"), &params[0]);
    EXPECT_EQ(params.FindParam("@other"), nullptr);
    EXPECT_THROW(params.ParamByName("@other"), EDataError);
    params.Clear();
    EXPECT_EQ(params.Count(), 0);
}

struct TNullCase {
    const char* Name;
    TVariant Value;
    bool IsNull;
};

void PrintTo(const TNullCase& c, std::ostream* os) { *os << c.Name; }

class ParameterNullFlagTest : public testing::TestWithParam<TNullCase> {};

TEST_P(ParameterNullFlagTest, FollowsTheValue) {
    TDataParameter parameter("@p", ftInteger, ptInput);
    parameter.SetValue(GetParam().Value);
    EXPECT_EQ(parameter.GetIsNull(), GetParam().IsNull);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParameterNullFlagTest,
                         testing::Values(TNullCase{"Unassigned", TVariant(), true},
                                         TNullCase{"Null", TVariant::MakeNull(), true},
                                         TNullCase{"Integer", TVariant(0), false},
                                         TNullCase{"EmptyString", TVariant(""), false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DataParameterTest, RaisingTheNullFlagNullsTheValue) {
    TDataParameter parameter("@p", ftInteger, ptInput);
    parameter.SetValue(TVariant(5));
    parameter.SetIsNull(true);
    EXPECT_TRUE(parameter.GetValue().IsNull());
}

}  // namespace
