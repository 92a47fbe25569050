// Lists walked while their entries die and new ones are born.
#include "engine/list.h"
#include "testutil.h"

namespace {
struct Thing {
    int id;
    static int alive;
    explicit Thing(int i) : id(i) { ++alive; }
    ~Thing() { --alive; }
};
int Thing::alive = 0;
}  // namespace

TEST(List, WalkVisitsAppendedEntriesAndSurvivesRemovingTheCurrentOne) {
    {
        TList<Thing> list;
        for (int i = 1; i <= 4; ++i) list.AddLast(new Thing(i));
        std::vector<int> visited;
        list.ForEach([&](Thing* t) {
            visited.push_back(t->id);
            if (t->id == 2) {
                // A big slime dies and leaves two offspring.
                list.Remove(t);
                list.AddLast(new Thing(20));
                list.AddLast(new Thing(21));
            }
            if (t->id == 4) list.Remove(t);
        });
        EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4, 20, 21}));
        std::vector<int> after;
        list.ForEach([&](Thing* t) { after.push_back(t->id); });
        EXPECT_EQ(after, (std::vector<int>{1, 3, 20, 21}));
        EXPECT_EQ(list.Count(), 4u);
        EXPECT_EQ(Thing::alive, 4);
    }
    EXPECT_EQ(Thing::alive, 0);
}

TEST(List, RemoveTakesThatVeryObjectOnly) {
    TList<Thing> list;
    Thing* a = list.AddLast(new Thing(1));
    list.AddLast(new Thing(1));
    Thing stranger(1);
    list.Remove(&stranger);  // equal contents, not in the list
    EXPECT_EQ(list.Count(), 2u);
    list.Remove(a);
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_FALSE(list.Contains(a));
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(Thing::alive, 1);  // only the stranger
}

TEST(List, ClearingDuringAWalkEndsItSafely) {
    TList<Thing> list;
    for (int i = 0; i < 3; ++i) list.AddLast(new Thing(i));
    int visits = 0;
    list.ForEach([&](Thing* t) {
        ++visits;
        list.Clear();
        EXPECT_GE(t->id, 0);  // still readable until the walk ends
    });
    EXPECT_EQ(visits, 1);
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(Thing::alive, 0);
}
