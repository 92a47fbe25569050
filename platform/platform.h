// The game's only door to the machine: the 480x270 frame and its drawing
// operations, pictures, sounds, the keyboard, files, the clock and the one
// random sequence. Everything else in the game goes through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/list.h"

// ---------------------------------------------------------------- the frame

constexpr int SCREENW = 480;
constexpr int SCREENH = 270;

// The logical screen, one 0xAARRGGBB word per pixel; alpha is always 0xFF
// once drawn. Presented by Flip, scaled up by the backend.
extern uint32_t framebuffer[SCREENW * SCREENH];

// How a row of a frame looks to the drawing loops.
enum : uint8_t { ROW_EMPTY, ROW_SOLID, ROW_MIXED };

// A picture cut into equal cells. Pixels are stored per frame, row by row;
// a stored 0 is a hole (the picture's pure black), anything else is opaque.
struct TImage {
    int cellw = 0, cellh = 0, frames = 0;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> rowkind;    // per frame and row: all holes, no holes, or both
    std::vector<uint8_t> framekind;  // per frame: ROW_SOLID when it has no hole at all

    const uint32_t* Frame(int frame) const { return pixels.data() + (size_t)frame * cellw * cellh; }
    // A built-in picture used whole.
    bool Load(const char* path);
    // A built-in picture cut into cells in reading order, keeping count
    // frames from cell first.
    bool LoadAnim(const char* path, int cellwidth, int cellheight, int first, int count);
    // Cuts an already decoded RGB picture (w x h, 3 bytes a pixel).
    bool FromRGB(const uint8_t* rgb, int w, int h, int cellwidth, int cellheight, int first, int count);
};

void SetResolution(int w, int h);
void SetClsColor(int r, int g, int b);
void Cls();
void SetColor(int r, int g, int b);
void CurrentColor(int& r, int& g, int& b);
void SetDrawOrigin(int x, int y);
void GetDrawOrigin(int& x, int& y);
void DrawSprite(const TImage& image, int x, int y, int frame);
void DrawRect(int x, int y, int w, int h);

// ---------------------------------------------------------------- window

// Opens the window; false (after one line on standard error) when it cannot.
bool CreateGraphics(int width, int height, int depth, int hertz, int flags);
void SetWindowCaption(const char* caption);
// Presents the frame; sync 1 waits for the display's vertical blank.
void Flip(int sync);

// ---------------------------------------------------------------- sound

struct TSound {
    std::string name;
    void* chunk = nullptr;  // the backend's decoded sound
    bool Load(const char* path);
    void Play() const;
};

// ---------------------------------------------------------------- keyboard

// Key codes of the keyboard table.
enum : int {
    KEY_BACKSPACE = 8, KEY_TAB = 9, KEY_ENTER = 13, KEY_SHIFT = 16, KEY_CONTROL = 17, KEY_ALT = 18,
    KEY_ESCAPE = 27, KEY_SPACE = 32, KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40,
    KEY_0 = 48, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,
    KEY_A = 65, KEY_D = 68, KEY_O = 79, KEY_P = 80, KEY_S = 83, KEY_W = 87, KEY_X = 88, KEY_Z = 90,
};

int KeyPressed(int key);
bool KeyHeld(int key);
void ClearKeys();
bool CloseRequested();
// A close request is waiting, left for the loop that ends the game to take.
// Screens nested inside play close on it, so the request reaches that loop
// at once instead of waiting for the player to leave the screen.
bool ClosePending();

// What a backend reports when it collects the window's events. They reach
// the game when it next takes its input (an update step, or the first
// keyboard question of a pass without one).
void KeyDownEvent(int key);  // a press, or the system's auto-repeat
void KeyUpEvent(int key);
void FocusLostEvent();
void CloseEvent();

// ---------------------------------------------------------------- files

// An open file. Reads come from the whole file held in memory; writes are
// gathered and reach the disk at Close, through a temporary file renamed over
// the old one, so a failed or interrupted save never leaves half a file.
// Only regular files are opened: a pipe, a device or a folder in a file's
// place is refused at once rather than waited on.
class TStream {
public:
    uint8_t ReadByte();
    uint16_t ReadShort();
    int32_t ReadInt();
    std::string ReadLine();
    void WriteByte(int v);
    void WriteShort(int v);
    void WriteInt(int32_t v);
    void WriteLine(const std::string& text);
    void WriteBytes(const void* data, size_t n);
    size_t ReadBytes(void* data, size_t n);
    // For a read: the file's length. For a write: bytes written so far.
    size_t Size() const { return data.size(); }
    size_t Position() const { return pos; }
    bool Eof() const { return pos >= data.size(); }
    // A read went past the end of the file.
    bool Failed() const { return failed; }
    // Finishes the file; for a write, true when it reached the disk whole.
    bool Close();
    ~TStream();

private:
    friend std::unique_ptr<TStream> OpenRead(const std::string& path);
    friend std::unique_ptr<TStream> OpenMemory(const uint8_t* bytes, size_t size);
    friend std::unique_ptr<TStream> OpenWrite(const std::string& path);
    friend bool CloseTogether(const std::string& folder, std::initializer_list<TStream*> files);
    friend struct FileLayer;
    bool Flush();
    bool Replace();
    void Fail();
    std::vector<uint8_t> data;
    size_t pos = 0;
    int fd = -1;  // the temporary file of a write (or the file itself, written in place)
    bool writing = false, failed = false, closed = false;
    bool inplace = false;  // no temporary could be made beside the file: it is written over
    bool replayed = false; // a replay plays: the write reaches no disk, its answer is the recorded one
    std::string path;      // as the game named it
    std::string target;    // the file that is replaced: through a link, the file it points to
    std::string temp;
};

// Game paths use "\" between folders.
std::string SystemPath(const std::string& path);
std::unique_ptr<TStream> OpenRead(const std::string& path);
// Reads bytes already in memory as if they were a file.
std::unique_ptr<TStream> OpenMemory(const uint8_t* bytes, size_t size);
// Creates the file, or replaces it at Close. Null when it cannot: the folder
// is missing, the file is not a regular file, or the player made it
// read-only (it is then left exactly as it is).
std::unique_ptr<TStream> OpenWrite(const std::string& path);
// Finishes writes of files in one folder as one unit: after a crash at any
// instant the folder holds all the old files, or all the new ones once
// RecoverSaves has run in it. True when every file reached the disk.
bool CloseTogether(const std::string& folder, std::initializer_list<TStream*> files);
// Completes a unit save that was cut short in the folder, or drops it when
// it never got as far as its commit, and clears away stale temporary files.
// False when the folder could not be brought back to one whole state.
bool RecoverSaves(const std::string& folder);
// The folder exists, or was just made, and a file can be created in it.
bool CanSaveIn(const std::string& folder);
// Something (a file, a folder, a link, anything) has that name.
bool PathExists(const std::string& path);
void MakeDir(const std::string& path);
// Makes the folder the player's files are kept in (and every folder above
// it) and enters it. False when it cannot be used: that is then
// DataFolderProblem's answer, and nothing is written anywhere.
bool UseDataFolder(const std::string& folder);
// No folder for the player's files can be had at all, for that reason.
void NoDataFolder(const std::string& why);
// Why the player's files have no folder, in one line (empty when they have
// one); when a replay plays, as it was when the session was recorded.
std::string DataFolderProblem();
// From now on nothing is written, made or removed on the disk: the game has
// no folder it may keep the player's files in. Every save then fails, and
// is shown to fail, as on a full disk.
void WriteNothing();
std::vector<std::string> ListDir(const std::string& path);
void PrintLine(const std::string& text);

// ---------------------------------------------------------------- clock, dice, end

int32_t ClockMs();
extern int32_t randstate;
void SeedRand(int32_t seed);
double RandUniform();
int32_t Rand(int32_t min, int32_t max);
// Drawing's own dice (the shimmer and the flashing colours), apart from the
// game's: however many frames a machine draws between two update steps,
// the game's sequence is the same.
extern int32_t drawrandstate;
int32_t DrawRand(int32_t min, int32_t max);
[[noreturn]] void EndProgram(int code = 0);

// ---------------------------------------------------------------- the session

// Whether an update step runs now: `due` by the clock in play; as it was
// when the session was recorded, when a replay plays. A granted step takes
// the machine's input.
bool GrantStep(bool due);
// The seed of the game's dice, from the clock (or the replay, which carries
// DataFolderProblem's answer too).
int32_t SessionSeed();
// How the game's state is summed up at the replay's checkpoints.
void SetStateDigest(uint64_t (*digest)());
// The game ends here: the replay's last checkpoint (or, played back, the
// comparison with it).
void EndSession();
// Records this play session in replays/ (the working folder's), headed
// with the game's version.
void RecordSession(const std::string& version);
// Plays a replay back in place of the machine: in the window at its own
// speed (`window`), or with no window as fast as it goes, checking every
// checkpoint. False, with the line that says why, when the file cannot be
// played; nothing is ever written while a replay plays.
bool PlayBack(const std::string& path, bool window, const std::string& version, std::string& why);
// Sets a file that does not read as one of the game's aside under its name
// and ".bad", replacing one set aside before; false when it cannot.
bool MoveAside(const std::string& path);

// ---------------------------------------------------------------- built-in files

struct EmbeddedFile {
    const char* name;  // "gfx\font.png"
    const unsigned char* data;
    size_t size;
};
extern const EmbeddedFile embeddedfiles[];  // ends with a null name
const EmbeddedFile* FindEmbedded(const std::string& name);
