// The game's only door to the machine: the window, sounds, files, the
// clock, the end of the program and the play session. Drawing, the
// keyboard's state and the dice are the game's own (engine/). Each
// operation goes to the machine in use (machine.h), which the game never
// sees: the live one, or a replay standing in front of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

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
    friend struct FileLayer;
    friend struct StreamAccess;
    friend std::unique_ptr<TStream> OpenMemory(const uint8_t* bytes, size_t size);
    // Where the file is on the disk and how a write reaches it: the file
    // layer's own business.
    struct Place;
    std::string path;  // with "/" between folders; empty for bytes read from memory
    std::vector<uint8_t> data;
    size_t pos = 0;
    bool writing = false, failed = false, closed = false;
    std::unique_ptr<Place> place;  // null unless the file layer opened it on the disk
};

// Game paths use "\" between folders; the machine's use "/".
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
// Why the player's files have no folder, in one line (empty when they have
// one); when a replay plays, as it was when the session was recorded.
std::string DataFolderProblem();
std::vector<std::string> ListDir(const std::string& path);
// The game's diagnostic lines, on standard output; what went wrong, on
// standard error. A replay played back says nothing of what it did.
void PrintLine(const std::string& text);
void PrintError(const std::string& text);

// ---------------------------------------------------------------- clock, end

int32_t ClockMs();
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
