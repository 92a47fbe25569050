#include "replay/keep.h"

#include <algorithm>
#include <vector>

#include "platform/journal.h"
#include "replay/format.h"

namespace replay {

namespace {
const char* const SUFFIX = ".replay";
constexpr size_t STAMPLENGTH = 19;  // 2026-12-11_14-03-27

// When a session began, as its replay's name says: the second, then which
// of the sessions begun in that second it was. Nothing for a name that is
// not one the game gives.
struct Began {
    std::string stamp;
    int k = 0;
    std::string name;
    bool operator<(const Began& o) const { return stamp != o.stamp ? stamp < o.stamp : k < o.k; }
};

bool Digits(const std::string& s, size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i)
        if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    return true;
}

bool ReadName(const std::string& name, Began& b) {
    const size_t suffix = std::string(SUFFIX).size();
    if (name.size() < STAMPLENGTH + suffix || name.compare(name.size() - suffix, suffix, SUFFIX) != 0) return false;
    // Digits where the date and time have them, and the separators between.
    const std::string seps = "--_--";
    const size_t at[] = {4, 7, 10, 13, 16};
    if (!Digits(name, 0, 4) || !Digits(name, 5, 2) || !Digits(name, 8, 2) || !Digits(name, 11, 2) ||
        !Digits(name, 14, 2) || !Digits(name, 17, 2))
        return false;
    for (size_t i = 0; i < 5; ++i)
        if (name[at[i]] != seps[i]) return false;
    b.stamp = name.substr(0, STAMPLENGTH);
    b.name = name;
    const std::string rest = name.substr(STAMPLENGTH, name.size() - suffix - STAMPLENGTH);
    if (rest.empty()) {
        b.k = 1;
        return true;
    }
    // "-2" to "-99": the later sessions of the same second.
    if (rest.size() < 2 || rest.size() > 3 || rest[0] != '-' || !Digits(rest, 1, rest.size() - 1) || rest[1] == '0')
        return false;
    b.k = std::stoi(rest.substr(1));
    return b.k >= 2;
}

// The file starts as a replay does: its header block and the magic words.
bool IsReplay(const std::string& path) {
    const std::vector<uint8_t> head = journal::Head(path, sizeof replayfile::MAGIC + 1);
    return replayfile::LooksLikeReplay(head.data(), head.size());
}
}  // namespace

std::string ReplayName(const std::string& stamp, int k) {
    return std::string(REPLAYFOLDER) + "/" + stamp + (k > 1 ? "-" + std::to_string(k) : "") + SUFFIX;
}

int NextInSecond(const std::string& stamp) {
    int k = 1;
    for (const std::string& name : journal::List(REPLAYFOLDER)) {
        Began b;
        if (ReadName(name, b) && b.stamp == stamp) k = std::max(k, b.k + 1);
    }
    return k;
}

void RemoveOldest(size_t keep) {
    std::vector<Began> replays;
    for (const std::string& name : journal::List(REPLAYFOLDER)) {
        Began b;
        if (ReadName(name, b) && IsReplay(std::string(REPLAYFOLDER) + "/" + name)) replays.push_back(b);
    }
    std::sort(replays.begin(), replays.end());
    size_t left = replays.size();
    for (size_t i = 0; i < replays.size() && left > keep; ++i)
        if (journal::RemoveIdle(std::string(REPLAYFOLDER) + "/" + replays[i].name)) --left;
}

}  // namespace replay
