// Files: text lines, little-endian numbers, damaged files and safe saving.
#include <sys/stat.h>

#include <algorithm>

#include "platform/platform.h"
#include "testutil.h"

namespace {
class FilesTest : public GameTest {};
}  // namespace

TEST_F(FilesTest, ReadLineRules) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;  // read until the file is used up
    } cases[] = {
        {"ab\r\ncd\r\n", {"ab", "cd"}},
        {"ab\ncd", {"ab", "cd"}},
        {std::string("a\rb\r\0c", 6), {"ab", "c"}},  // CR dropped anywhere; 0 ends a line
        {"\n\n", {"", ""}},
        {"x", {"x"}},
        {"\xe9t\xe9", {"\xe9t\xe9"}},
    };
    for (const Case& c : cases) {
        WriteText("f", c.bytes);
        auto s = OpenRead("f");
        ASSERT_TRUE(s);
        std::vector<std::string> got;
        while (!s->Eof()) got.push_back(s->ReadLine());
        EXPECT_EQ(got, c.lines);
        EXPECT_EQ(s->ReadLine(), "");  // at the end: empty
        EXPECT_FALSE(s->Failed());
    }
}

TEST_F(FilesTest, NumbersAreLittleEndianAndLinesEndInCRLF) {
    auto w = OpenWrite("n");
    ASSERT_TRUE(w);
    w->WriteByte(0x1FF);
    w->WriteShort(0x12345);
    w->WriteInt(-2);
    w->WriteLine("hi\xff");
    ASSERT_TRUE(w->Close());
    auto bytes = ReadBytes("n");
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0xFF, 0x45, 0x23, 0xFE, 0xFF, 0xFF, 0xFF, 'h', 'i', 0xFF, 13, 10}));
    auto r = OpenRead("n");
    EXPECT_EQ(r->ReadByte(), 0xFF);
    EXPECT_EQ(r->ReadShort(), 0x2345);
    EXPECT_EQ(r->ReadInt(), -2);
    EXPECT_EQ(r->ReadLine(), "hi\xff");
}

TEST_F(FilesTest, ReadingPastTheEndGivesZeroAndMarksTheStream) {
    WriteText("short", "\x01\x02\x03");
    auto r = OpenRead("short");
    EXPECT_EQ(r->Size(), 3u);
    EXPECT_EQ(r->ReadShort(), 0x0201);
    EXPECT_FALSE(r->Failed());
    EXPECT_EQ(r->ReadInt(), 3);  // one real byte, then nothing
    EXPECT_TRUE(r->Failed());
    EXPECT_EQ(r->ReadByte(), 0);
    unsigned char buf[4] = {9, 9, 9, 9};
    EXPECT_EQ(r->ReadBytes(buf, 4), 0u);
    EXPECT_EQ(buf[0], 0);
}

TEST_F(FilesTest, MissingFilesAndFoldersOpenAsNull) {
    EXPECT_FALSE(OpenRead("nothing"));
    MakeDir("dir");
    EXPECT_FALSE(OpenRead("dir"));
    EXPECT_FALSE(OpenWrite("dir"));
    EXPECT_FALSE(OpenWrite("nofolder\\file"));
}

TEST_F(FilesTest, BackslashPathsReachSubfolders) {
    MakeDir("worlds");
    MakeDir("worlds\\Somewhere");
    MakeDir("worlds\\Somewhere");  // again: harmless
    auto w = OpenWrite("worlds\\Somewhere\\player");
    ASSERT_TRUE(w);
    w->WriteByte(7);
    ASSERT_TRUE(w->Close());
    EXPECT_EQ(ReadBytes("worlds/Somewhere/player"), std::vector<unsigned char>{7});
}

TEST_F(FilesTest, ASaveReplacesTheOldFileOnlyWhenWholeAndAnAbandonedOneLeavesIt) {
    WriteText("save", "old data");
    {
        auto w = OpenWrite("save");
        ASSERT_TRUE(w);
        w->WriteLine("new");
        EXPECT_EQ(ReadText("save"), "old data");  // nothing reaches the file before Close
        // Dropped without Close, as when the program ends mid-save.
    }
    EXPECT_EQ(ReadText("save"), "old data");
    auto names = ListDir(".");
    EXPECT_EQ(names, std::vector<std::string>{"save"});  // no temporary left behind
    auto w = OpenWrite("save");
    w->WriteLine("new");
    ASSERT_TRUE(w->Close());
    EXPECT_EQ(ReadText("save"), "new\r\n");
}

TEST_F(FilesTest, ListDirNamesFilesAndFoldersAlike) {
    EXPECT_TRUE(ListDir("absent").empty());
    MakeDir("worlds");
    MakeDir("worlds\\One");
    MakeDir("worlds\\Two");
    WriteText("worlds/stray", "x");
    auto names = ListDir("worlds\\");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"One", "Two", "stray"}));
}
