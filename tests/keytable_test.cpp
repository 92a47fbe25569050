// The key table both machines take the game's keys from: on each machine a
// name stands for one key, and every key the page gives the game the
// desktop gives too (the desktop's window takes all the game's keys).
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/keytable.h"

TEST(KeyTable, EachNameIsOneKeyOnItsMachineAndThePagesKeysAreTheDesktopsToo) {
    std::map<std::string, int> page, desktop;
    for (const KeyName& k : keytable) {
        SCOPED_TRACE(k.key);
        EXPECT_TRUE(k.page || k.desktop) << "a row no machine names";
        // A second row with the same name would never be looked at.
        if (k.page) {
            EXPECT_TRUE(page.emplace(k.page, k.key).second) << k.page;
        }
        if (k.desktop) {
            EXPECT_TRUE(desktop.emplace(k.desktop, k.key).second) << k.desktop;
        }
    }
    for (const auto& [name, key] : page) {
        bool desktops = false;
        for (const auto& [other, same] : desktop) desktops = desktops || same == key;
        EXPECT_TRUE(desktops) << name << " is the page's only";
    }
}
