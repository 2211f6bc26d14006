// The remembering down-cast: whatever it has seen before, it answers as dynamic_cast does,
// for casts that fail as well as for casts that succeed.
#include "model/QBModelCast.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

struct Root {
    virtual ~Root() = default;
    int RootData = 0;
};
struct Left : Root {
    int LeftData = 1;
};
struct Right : Root {
    int RightData = 2;
};
// Two Root parts: which one a pointer reaches decides the answer, not the dynamic type alone.
struct Both : Left, Right {
    int BothData = 3;
};
// Many leaf classes, more than the cast keeps at hand, so that answers are pushed out and
// found again.
template <int N>
struct Leaf : Left {};

template <int... N>
void AddLeaves(std::vector<std::unique_ptr<Root>>& Out, std::integer_sequence<int, N...>) {
    (Out.push_back(std::make_unique<Leaf<N>>()), ...);
}

// Pointers to the Root parts of a mix of objects, each reached more than once.
std::vector<Root*> Sources(std::vector<std::unique_ptr<Root>>& Owned,
                           std::vector<std::unique_ptr<Both>>& Pairs) {
    Owned.push_back(std::make_unique<Root>());
    Owned.push_back(std::make_unique<Left>());
    Owned.push_back(std::make_unique<Right>());
    AddLeaves(Owned, std::make_integer_sequence<int, 40>());
    Pairs.push_back(std::make_unique<Both>());
    Pairs.push_back(std::make_unique<Both>());
    std::vector<Root*> sources;
    for (const auto& object : Owned) sources.push_back(object.get());
    for (const auto& pair : Pairs) {
        sources.push_back(static_cast<Left*>(pair.get()));
        sources.push_back(static_cast<Right*>(pair.get()));
    }
    return sources;
}

TEST(ModelCast, AnswersAsDynamicCastForSeenAndUnseenTypesAndParts) {
    std::vector<std::unique_ptr<Root>> owned;
    std::vector<std::unique_ptr<Both>> pairs;
    const std::vector<Root*> sources = Sources(owned, pairs);
    // Three rounds: first answers are found, later ones come from memory or are found again
    // after being pushed out by the many leaf classes.
    for (int round = 0; round < 3; ++round)
        for (Root* source : sources) {
            EXPECT_EQ(ModelCast<Left>(source), dynamic_cast<Left*>(source)) << round;
            EXPECT_EQ(ModelCast<Right>(source), dynamic_cast<Right*>(source)) << round;
            EXPECT_EQ(ModelCast<const Both>(static_cast<const Root*>(source)),
                      dynamic_cast<const Both*>(source))
                << round;
            EXPECT_EQ(ModelCast<Leaf<7>>(source), dynamic_cast<Leaf<7>*>(source)) << round;
        }
}

TEST(ModelCast, AFailedCastDoesNotFailAnotherTypeBehindTheSameStaticType) {
    Root root;
    Left left;
    Root* const asRoot[] = {&root, &left, &root, &left};
    for (Root* source : asRoot)
        EXPECT_EQ(ModelCast<Left>(source), source == &left ? &left : nullptr);
    EXPECT_EQ(ModelCast<Left>(static_cast<Root*>(nullptr)), nullptr);
}

// During construction an object is only what has been built so far; the answer learnt then
// must not stick to the finished object, and the other way round.
struct Probe : Root {
    Probe() { SeenWhileBuilt = ModelCast<Probe>(static_cast<Root*>(this)) != nullptr; }
    bool SeenWhileBuilt = false;
};
struct Built : Probe {};

struct LateLeft : Left {
    LateLeft() { Self = ModelCast<LateLeft>(static_cast<Root*>(this)); }
    LateLeft* Self = nullptr;
};

TEST(ModelCast, ObjectsUnderConstructionAnswerForThePartBuilt) {
    Built first;
    EXPECT_TRUE(first.SeenWhileBuilt);  // the Probe part is a Probe, even inside a Built
    EXPECT_EQ(ModelCast<Built>(static_cast<Root*>(&first)), &first);
    Built second;
    EXPECT_TRUE(second.SeenWhileBuilt);
    EXPECT_EQ(ModelCast<Built>(static_cast<Root*>(&second)), &second);
    LateLeft late;
    EXPECT_EQ(late.Self, &late);
}

}  // namespace
