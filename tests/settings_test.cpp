// settings.ini: reading by position, clamping, and the lines written back.
#include "platform/platform.h"
#include "base/base.h"
#include "testutil.h"

namespace {
class SettingsTest : public GameTest {};
const std::string DEFAULTS =
    "UPSCALING=2\r\nFULLSCREEN=0 (requires upscaling x4)\r\nWORLDNAME=Defaultia\r\nVSYNC=1\r\n";
}  // namespace

TEST_F(SettingsTest, NoFileKeepsTheDefaultsAndSavingWritesThem) {
    LoadSettings();
    EXPECT_EQ(UPSCALING, 2);
    EXPECT_EQ(FULLSCREEN, 0);
    EXPECT_EQ(WORLDNAME, "Defaultia");
    EXPECT_EQ(VSYNC, 1);
    SaveSettings();
    EXPECT_EQ(ReadText("settings.ini"), DEFAULTS);
}

TEST_F(SettingsTest, FilesReadByPosition) {
    struct Case {
        std::string file;
        int upscaling, fullscreen;
        std::string world;
        int vsync;
    } cases[] = {
        {DEFAULTS, 2, 0, "Defaultia", 1},
        {"UPSCALING=3", 3, 0, "Defaultia", 0},  // a missing fourth line reads as 0
        {"UPSCALING=0\r\n", 1, 0, "Defaultia", 0},
        {"UPSCALING=x\r\n", 1, 0, "Defaultia", 0},
        {"UPSCALING=9\r\nFULLSCREEN=7\r\nWORLDNAME=A\r\nVSYNC=7\r\n", 4, 7, "A", 1},
        {"UPSCALING=10\n", 1, 0, "Defaultia", 0},  // one character only
        {"UPSCALING= 3\n", 1, 0, "Defaultia", 0},
        {"UPSCALING=\n", 1, 0, "Defaultia", 0},
        {"3\n1\nNoEquals\n1\n", 3, 1, "NoEquals", 1},  // no "=": from the start of the line
        {"VSYNC=1\r\nUPSCALING=3\r\n", 1, 3, "Defaultia", 0},  // keys are never looked at
        {"UPSCALING=2\nFULLSCREEN=1\nWORLDNAME=a=b\nVSYNC=0\n", 2, 1, "a=b", 0},
        {"UPSCALING=2\nFULLSCREEN=0\nWORLDNAME=\nVSYNC=1\n", 2, 0, "Defaultia", 1},
        {"UPSCALING=2\nFULLSCREEN=0\nWORLDNAME=" + std::string(40, 'q') + "\nVSYNC=1\n", 2, 0, std::string(32, 'q'), 1},
        {"UPSCALING=2\nFULLSCREEN=0\nWORLDNAME= spaced \nVSYNC=1\n", 2, 0, " spaced ", 1},
    };
    for (const Case& c : cases) {
        UPSCALING = 2;
        FULLSCREEN = 0;
        WORLDNAME = "Defaultia";
        VSYNC = 1;
        WriteText("settings.ini", c.file);
        LoadSettings();
        EXPECT_EQ(UPSCALING, c.upscaling) << c.file;
        EXPECT_EQ(FULLSCREEN, c.fullscreen) << c.file;
        EXPECT_EQ(WORLDNAME, c.world) << c.file;
        EXPECT_EQ(VSYNC, c.vsync) << c.file;
    }
}

// A world name becomes a folder beside the others; names that would lead
// elsewhere, or hold control bytes, fall back to the default world.
TEST_F(SettingsTest, WorldNamesThatLeaveTheWorldsFolderAreRefused) {
    for (std::string bad : std::vector<std::string>{"..", ".", "../../etc", "a/b", "a\\b", std::string("a\tb"), std::string("x\x01")}) {
        WriteText("settings.ini", "UPSCALING=2\nFULLSCREEN=0\nWORLDNAME=" + bad + "\nVSYNC=1\n");
        LoadSettings();
        EXPECT_EQ(WORLDNAME, "Defaultia") << bad;
    }
    for (std::string good : std::vector<std::string>{"...", "Glen Moor", "caf\xe9"}) {
        WriteText("settings.ini", "UPSCALING=2\nFULLSCREEN=0\nWORLDNAME=" + good + "\nVSYNC=1\n");
        LoadSettings();
        EXPECT_EQ(WORLDNAME, good);
    }
}

TEST_F(SettingsTest, SaveWritesFourLinesAndAFailedSaveLeavesTheFile) {
    UPSCALING = 4;
    FULLSCREEN = 1;
    WORLDNAME = "Quill Moor";
    VSYNC = 0;
    SaveSettings();
    EXPECT_EQ(ReadText("settings.ini"),
              "UPSCALING=4\r\nFULLSCREEN=1 (requires upscaling x4)\r\nWORLDNAME=Quill Moor\r\nVSYNC=0\r\n");
    // The temporary name is taken by a folder: the save cannot happen.
    MakeDir("settings.ini.tmp");
    UPSCALING = 1;
    SaveSettings();
    EXPECT_EQ(ReadText("settings.ini"),
              "UPSCALING=4\r\nFULLSCREEN=1 (requires upscaling x4)\r\nWORLDNAME=Quill Moor\r\nVSYNC=0\r\n");
}
