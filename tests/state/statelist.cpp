// The list of the game's state seen from outside, for the tests.
//   statelist          prints every global the list names, one a line, for
//                      the check that reads the built objects' symbols
//                      (complete.cmake)
//   statelist --fresh  a program just started, its world maker run once as
//                      start-up's warm-up runs it, then FreshGame: every
//                      entry must hold again what it held at the start
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "overworld/overworld.h"
#include "shell/shell.h"
#include "shell/state.h"

namespace {
void PrintNames() {
    for (const StateEntry& e : StateList()) {
        std::string names = e.names;
        for (size_t at = 0, comma; at < names.size(); at = comma + 2) {
            comma = names.find(", ", at);
            if (comma == std::string::npos) comma = names.size();
            std::printf("%s\n", names.substr(at, comma - at).c_str());
        }
    }
}

// Each entry's own sum, for those the game can read back (0 for the others).
std::vector<uint64_t> Look() {
    std::vector<uint64_t> sums;
    for (const StateEntry& e : StateList()) {
        StateSum s;
        if (e.sum) e.sum(s);
        sums.push_back(e.sum ? s.h : 0);
    }
    return sums;
}

int FreshStart() {
    const std::vector<uint64_t> start = Look();
    const uint64_t digest = StateDigest();
    MakeWorldMap();
    if (StateDigest() == digest) {
        std::printf("making a world changed nothing the digest sums: the check would prove nothing\n");
        return 1;
    }
    FreshGame();
    const std::vector<uint64_t> fresh = Look();
    int wrong = 0;
    for (size_t i = 0; i < start.size(); ++i)
        if (fresh[i] != start[i]) {
            std::printf("FreshGame does not put back what a program just started holds in: %s\n",
                        StateList()[i].names);
            ++wrong;
        }
    return wrong ? 1 : 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        PrintNames();
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--fresh") == 0) return FreshStart();
    std::fprintf(stderr, "usage: statelist [--fresh]\n");
    return 2;
}
