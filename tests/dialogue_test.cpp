// Every line the people of the villages can say, by number and terrain.
#include "areas/dialogue.h"
#include "overworld/overworld.h"
#include "testutil.h"

TEST(Dialogue, LandLinesFollowTheVillagesTerrain) {
    struct Case {
        uint16_t line;
        const char *plains, *forest, *desert;
    } cases[] = {
        {0, "Plains are just so... plain.", "Such trees.", "I need to get away from all this sand."},
        {1, "Plains are perhaps the least dangerous.", "A forest's treetops can provide much safety.",
         "Best to cross the desert at a careful, steady pace."},
        {2, "Slimes look so delicious...", "Big slimes are pretty cute.", "I keep having nightmares about scorpions."},
        {3, "Unharmed slimes are harder to avoid.", "Large slimes aren't so tough if you spot them first.",
         "I don't recommend jumping over scorpions. Oww..."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialogueLine(c.line, terrains::plains), c.plains);
        EXPECT_EQ(DialogueLine(c.line, terrains::forest), c.forest);
        EXPECT_EQ(DialogueLine(c.line, terrains::desert), c.desert);
        for (uint8_t t : {terrains::mountain, terrains::water, terrains::home, (uint8_t)5, (uint8_t)200})
            EXPECT_EQ(DialogueLine(c.line, t), "NO MSG") << (int)t;
    }
}

TEST(Dialogue, EveryOtherLineByItsNumber) {
    struct Case {
        uint16_t line;
        std::string text;
    } cases[] = {
        {4, "Where'd you get your ribbon?"},
        {5, "Neat cape!"},
        {6, "What are you doing in my house?"},
        {7, "Where you from?"},
        {8, "....TCELES B HSUP"},
        {256, "Find anything nice?"},
        {257, "Need something recycled?"},
        {258, "Bring me stuff!"},
        {259, "Ahh...! I'll buy it at a high price!"},
        {260, "What're ya sellin'?"},
        {261, "Whatcha got there?"},
        {262, "I'm a collector."},
        {263, "Don't be a hoarder, now."},
        {264, "Too much baggage?"},
        {512, "Don't be a tool, buy one!"},
        {513, "Yours for the buying."},
        {514, "This is really expensive..."},
        {515, "I like money. I would like your money."},
        {516, std::string("This store runs on \x02") + "GIRL POWER\x02"},
        {517, "What're ya buyin'?"},
        {518, "Buy somethin' will ya?"},
        {519, "Capitalism, ho!"},
        {520, "Pay 2 win!"},
        {521, "My wallet is ready."},
        {9, "NO MSG"},
        {255, "NO MSG"},
        {265, "NO MSG"},
        {511, "NO MSG"},
        {522, "NO MSG"},
        {65535, "NO MSG"},
    };
    for (const Case& c : cases)
        for (uint8_t t : {terrains::plains, terrains::mountain}) EXPECT_EQ(DialogueLine(c.line, t), c.text) << c.line;
}
