// The replays folder: each session's replay named by the time it began,
// and only the newest kept.
#pragma once

#include <cstddef>
#include <string>

namespace replay {

constexpr const char* REPLAYFOLDER = "replays";
// Replays kept in the folder, the one being recorded among them.
constexpr size_t KEEP = 20;

// replays/<stamp>.replay for the first session that began in that second,
// replays/<stamp>-<k>.replay for the k-th.
std::string ReplayName(const std::string& stamp, int k);
// The k for a session beginning now, in the second `stamp`: after every
// replay of that second there is, so a name freed by an older one of the
// same second is never given to a newer.
int NextInSecond(const std::string& stamp);
// Removes the replays that began first until `keep` are left. A file that
// is not one of the game's replays is never touched, nor is the replay of a
// session still running.
void RemoveOldest(size_t keep);

}  // namespace replay
