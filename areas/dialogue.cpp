// The lines of villagers (0 to 8), collectors (256 to 264) and shopkeepers
// (512 to 521).
#include "areas/dialogue.h"

#include "overworld/overworld.h"

namespace {
// Lines 0 to 3 by terrain: plains, forest, desert.
const char* const LANDLINES[4][3] = {
    {"Plains are just so... plain.", "Such trees.", "I need to get away from all this sand."},
    {"Plains are perhaps the least dangerous.", "A forest's treetops can provide much safety.",
     "Best to cross the desert at a careful, steady pace."},
    {"Slimes look so delicious...", "Big slimes are pretty cute.", "I keep having nightmares about scorpions."},
    {"Unharmed slimes are harder to avoid.", "Large slimes aren't so tough if you spot them first.",
     "I don't recommend jumping over scorpions. Oww..."},
};

const char* const VILLAGER[5] = {"Where'd you get your ribbon?", "Neat cape!", "What are you doing in my house?",
                                 "Where you from?", "....TCELES B HSUP"};

const char* const COLLECTOR[9] = {"Find anything nice?",     "Need something recycled?",
                                  "Bring me stuff!",         "Ahh...! I'll buy it at a high price!",
                                  "What're ya sellin'?",     "Whatcha got there?",
                                  "I'm a collector.",        "Don't be a hoarder, now.",
                                  "Too much baggage?"};

const char* const SHOPKEEPER[10] = {"Don't be a tool, buy one!",
                                    "Yours for the buying.",
                                    "This is really expensive...",
                                    "I like money. I would like your money.",
                                    nullptr,  // 516, with hearts, below
                                    "What're ya buyin'?",
                                    "Buy somethin' will ya?",
                                    "Capitalism, ho!",
                                    "Pay 2 win!",
                                    "My wallet is ready."};

const char* const NOMSG = "NO MSG";
}  // namespace

std::string DialogueLine(uint16_t dialogue, uint8_t terrain) {
    if (dialogue <= 3) {
        switch (terrain) {
        case terrains::plains: return LANDLINES[dialogue][0];
        case terrains::forest: return LANDLINES[dialogue][1];
        case terrains::desert: return LANDLINES[dialogue][2];
        default: return NOMSG;
        }
    }
    if (dialogue <= 8) return VILLAGER[dialogue - 4];
    if (dialogue >= 256 && dialogue <= 264) return COLLECTOR[dialogue - 256];
    // Character 2 of the font is a small heart.
    if (dialogue == 516) return std::string("This store runs on ") + '\x02' + "GIRL POWER" + '\x02';
    if (dialogue >= 512 && dialogue <= 521) return SHOPKEEPER[dialogue - 512];
    return NOMSG;
}
