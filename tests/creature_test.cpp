// The creature record as it is made, and the player's change of body.
#include "creatures/creatures.h"
#include "testutil.h"

namespace {
// The record with no motion, control, view, inventory or death of its own:
// only what is made and changed here is looked at.
struct Body : entity {
    int32_t Jump(int32_t) override { return 0; }
    int32_t Approach(int32_t, int32_t, int32_t) override { return 0; }
    int32_t UpdateMotion() override { return 0; }
    int32_t TakeHit(uint8_t, const TSound*) override { return 0; }
    int32_t DBGTransform() override { return 0; }
    int32_t CreatureInput(uint8_t) override { return 0; }
    int32_t FollowInput() override { return 0; }
    int32_t DrawView() override { return 0; }
    int32_t OpenInventory() override { return 0; }
    int32_t GetRekt() override { return 0; }
    int32_t LevelTransIn(uint8_t) override { return 0; }
    int32_t LevelTransOut(uint8_t) override { return 0; }
};

class CreatureTest : public GameTest {};
}  // namespace

TEST_F(CreatureTest, AFreshCreatureStandsAtTheOriginFacingLeftWithFiveHitPoints) {
    Body b;
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.y, 0);
    EXPECT_EQ(b.xv, 0);
    EXPECT_EQ(b.yv, 0);
    EXPECT_EQ(b.f, 0);
    EXPECT_EQ(b.anim, 0);
    EXPECT_EQ(b.width, 16);
    EXPECT_EQ(b.height, 16);
    EXPECT_EQ(b.invinced, 0);
    EXPECT_EQ(b.HP, 5);
    EXPECT_EQ(b.onground, 1);
    EXPECT_EQ(b.swinging, 0);
}

TEST_F(CreatureTest, ChangingFormSetsTheBoxAndAnUnknownFormKeepsIt) {
    struct Case {
        uint8_t from, to;
        int width, height;
    } cases[] = {
        {0, 1, 8, 8}, {1, 2, 12, 12}, {2, 3, 16, 12}, {3, 0, 16, 16},
        {1, 4, 8, 8},   // no body of its own: the small slime's box stays
        {3, 255, 16, 12},
    };
    for (const Case& c : cases) {
        Body b;
        b.CreatureChange(c.from);
        b.x = 40;
        b.y = 50;
        b.xv = -7;
        b.f = 1;
        b.CreatureChange(c.to);
        EXPECT_EQ(form, c.to);
        EXPECT_EQ(b.width, c.width) << (int)c.from << " -> " << (int)c.to;
        EXPECT_EQ(b.height, c.height) << (int)c.from << " -> " << (int)c.to;
        EXPECT_EQ(b.x, 40);
        EXPECT_EQ(b.y, 50);
        EXPECT_EQ(b.xv, -7);
        EXPECT_EQ(b.f, 1);
    }
}
