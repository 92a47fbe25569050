// A session's replay begun and ended: the recorder or the player made and
// put in front of the machine, and taken away again.
#include <algorithm>
#include <memory>

#include "platform/journal.h"
#include "platform/machine.h"
#include "platform/quiet.h"
#include "replay/keep.h"
#include "replay/player.h"
#include "replay/recorder.h"
#include "replay/replay.h"

using namespace replayfile;

namespace replay {

namespace {
std::unique_ptr<Recorder> recorder;
std::unique_ptr<QuietMachine> quiet;
std::unique_ptr<Player> player;
const std::string nopath;
void (*drawbar)(const WatchState&) = nullptr;
}  // namespace

void DrawBarWith(void (*draw)(const WatchState&)) { drawbar = draw; }

void Stop() {
    UseMachine(LiveMachine());
    recorder.reset();
    player.reset();
    quiet.reset();
}

bool Record(const std::string& version) {
    Stop();
    journal::MakeFolder(REPLAYFOLDER);
    RemoveOldest(KEEP - 1);
    const std::string stamp = journal::Stamp();
    std::string path;
    journal::File file = journal::NOFILE;
    for (int k = NextInSecond(stamp); k < 100 && file == journal::NOFILE; ++k) {
        path = ReplayName(stamp, k);
        file = journal::Create(path);
    }
    if (file == journal::NOFILE) {
        MachineInUse().PrintError(std::string("no replay is recorded: ") + REPLAYFOLDER + " cannot be written in");
        return false;
    }
    std::vector<uint8_t> header;
    AppendHeader(header, version);
    journal::Append(file, header.data(), header.size());
    recorder = std::make_unique<Recorder>(MachineInUse(), file, path);
    UseMachine(*recorder);
    return true;
}

bool Play(const std::vector<uint8_t>& file, bool window, const std::string& ours, std::string& why) {
    Stop();
    size_t at = 0;
    uint8_t kind = 0;
    std::vector<uint8_t> payload;
    const size_t magiclen = sizeof MAGIC - 1;
    if (!LooksLikeReplay(file.data(), file.size())) {
        why = "not a replay";
        return false;
    }
    const Block header = NextBlock(file, at, kind, payload);
    if (header != Block::Whole) {
        why = header == Block::TooLarge ? "the replay is damaged: its header is too large"
                                        : "the replay is damaged: its header fails its checksum";
        return false;
    }
    In head{payload.data(), payload.size()};
    const uint8_t* skip = nullptr;
    head.Raw(magiclen, skip);
    const uint64_t format = head.Var();
    const std::string version = head.Str();
    if (head.bad || format != FORMAT || version != ours) {
        why = "the replay was recorded by another version (" + (head.bad ? std::string("unknown") : Printable(version)) +
              "; this is " + ours + ")";
        return false;
    }
    std::vector<uint8_t> records;
    bool cut = false;
    for (;;) {
        const size_t start = at;
        const Block b = NextBlock(file, at, kind, payload);
        if (b == Block::End) break;
        if (b == Block::Cut) {
            cut = true;
            break;
        }
        if (b == Block::TooLarge || (b == Block::Whole && records.size() + payload.size() > FILELIMIT)) {
            why = "the replay is damaged: the block at byte " + std::to_string(start) + " is too large";
            return false;
        }
        if (b == Block::Damaged || kind != RECORDBLOCK) {
            why = "the replay is damaged: the block at byte " + std::to_string(start) + " fails its checksum";
            return false;
        }
        records.insert(records.end(), payload.begin(), payload.end());
    }
    // Every record is read once now, so a damaged one is refused before the
    // game starts rather than met half way.
    In scan{records.data(), records.size()};
    replayfile::Record r;
    bool anycheck = false, ended = false;
    uint64_t sincecheck = 0, total = 0;
    while (!scan.AtEnd()) {
        const bool decoded = Decode(scan, r);
        sincecheck += StepsIn(r);
        total += StepsIn(r);
        if (r.tag == CHECK) sincecheck = 0;
        if (!decoded || sincecheck > CHECKEVERY) {
            why = "the replay is damaged: a record at byte " + std::to_string(scan.at) + " is not one of ours";
            return false;
        }
        anycheck = anycheck || r.tag == CHECK || r.tag == END;
        ended = r.tag == END;
    }
    if (!anycheck) {
        why = "the replay was cut short before its first checkpoint";
        return false;
    }
    Machine* behind = &MachineInUse();
    if (!window) {
        quiet = std::make_unique<QuietMachine>(*behind);
        behind = quiet.get();
    }
    player = std::make_unique<Player>(*behind, window, std::move(records), cut || !ended, total, drawbar);
    UseMachine(*player);
    return true;
}

bool PlayFile(const std::string& path, bool window, const std::string& version, std::string& why) {
    Stop();
    // Read as any other untrusted file: whole, regular files only, bounded.
    std::unique_ptr<TStream> f = MachineInUse().OpenRead(path);
    if (!f) {
        why = "cannot be read: there is no such file, or it is not a file";
        return false;
    }
    return Play(StreamAccess::Bytes(*f), window, version, why);
}

bool Recording() { return recorder && !recorder->Ended(); }
bool Playing() { return player && &MachineInUse() == player.get(); }
const std::string& RecordingPath() { return recorder ? recorder->Path() : nopath; }
uint64_t Steps() { return recorder ? recorder->Steps() : player ? player->Steps() : 0; }
WatchState Watched() { return player ? player->Watched() : WatchState{}; }
void SeekTo(uint64_t step) {
    if (player) player->AskSeek(step);
}
void RequestCheckpoint() {
    if (recorder) recorder->RequestCheckpoint();
}

}  // namespace replay
