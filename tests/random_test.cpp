// The random sequence: its seeding, its bounds and reversed ranges.
#include <algorithm>

#include "engine/dice.h"
#include "testutil.h"

TEST(Random, SeedZeroAndTheTopValueStartFrom4660) {
    for (int32_t seed : {0, 2147483647, -1 /* & 0x7FFFFFFF */}) {
        SeedRand(seed);
        EXPECT_EQ(randstate, 4660) << seed;
    }
    SeedRand(12345);
    EXPECT_EQ(randstate, 12345);
    SeedRand(-5);
    EXPECT_EQ(randstate, 2147483643);
}

TEST(Random, StepsFollowTheMinimalStandardSequence) {
    // 4660 * 48271 mod (2^31 - 1), and once more.
    SeedRand(0);
    const int64_t m = 2147483647;
    int64_t s1 = 4660LL * 48271 % m, s2 = s1 * 48271 % m;
    double u = ((double)(s1 & 0x1FFFFFFC) + (double)(s2 & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
    EXPECT_EQ(RandUniform(), u);
    EXPECT_EQ(randstate, s2);
    // Every state steps as Schrage's 32-bit method says, the largest included.
    auto schrage = [](int32_t s) {
        s = 48271 * (s % 44488) - 3399 * (s / 44488);
        return s < 0 ? s + 2147483647 : s;
    };
    for (int32_t s : {1, 2, 44487, 44488, 44489, 1000000, 2147483646, 2147483645, 123456789}) {
        randstate = s;
        RandUniform();
        EXPECT_EQ(randstate, schrage(schrage(s))) << s;
    }
    for (int32_t s = 1; s < 2147483647 - 9973 * 1000; s += 9973 * 1000) {
        randstate = s;
        RandUniform();
        ASSERT_EQ(randstate, schrage(schrage(s))) << s;
    }
}

TEST(Random, RangesAreClosedAndReversedRangesStayBetweenTheirBounds) {
    SeedRand(99);
    EXPECT_EQ(Rand(0, 0), 0);
    EXPECT_EQ(Rand(5, 5), 5);
    struct Case {
        int lo, hi, min, max;
    } cases[] = {{1, 100, 1, 100}, {0, 4, 0, 4}, {10, 3, 3, 10}, {-5, -9, -9, -5}, {0, 1, 0, 1}};
    for (const Case& c : cases) {
        bool seenmin = false, seenmax = false;
        for (int i = 0; i < 20000; ++i) {
            int v = Rand(c.lo, c.hi);
            ASSERT_GE(v, c.min);
            ASSERT_LE(v, c.max);
            seenmin |= v == c.min;
            seenmax |= v == c.max;
        }
        EXPECT_TRUE(seenmin && seenmax) << c.lo << ".." << c.hi;
    }
    // Ranges as wide as 32 bits hold: the span does not wrap round, so the
    // values spread over the whole range, each quarter taking its share.
    const int32_t lowest = -2147483647 - 1, highest = 2147483647;
    struct Wide {
        int32_t lo, hi;
    } wide[] = {{lowest, highest}, {highest, lowest}, {0, highest}, {lowest, 0}, {lowest, -1}};
    for (const Wide& c : wide) {
        const int64_t min = std::min(c.lo, c.hi), max = std::max(c.lo, c.hi), span = max - min + 1;
        int quarter[4] = {0, 0, 0, 0};
        for (int i = 0; i < 4000; ++i) {
            const int64_t v = Rand(c.lo, c.hi);
            ASSERT_GE(v, min) << c.lo << ".." << c.hi;
            ASSERT_LE(v, max) << c.lo << ".." << c.hi;
            ++quarter[(v - min) * 4 / span];
        }
        for (int q = 0; q < 4; ++q) EXPECT_GT(quarter[q], 500) << c.lo << ".." << c.hi << " quarter " << q;
    }
}
