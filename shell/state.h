// The game's state, listed once: every writable global of the game, how it
// goes into the replay's checkpoints, and what a program just started holds
// in it. StateDigest and FreshGame (shell.h) both walk this one list, so a
// global cannot be summed and forgotten by FreshGame, or the other way
// round; and a test reads the built game's symbols and fails on any
// writable global the list does not name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// 64-bit FNV-1a: cheap, and any changed byte changes the sum.
struct StateSum {
    uint64_t h = 14695981039346656037ull;
    void Bytes(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    }
    // Numbers go in as 64 bits, so the sum does not depend on their types' sizes.
    void N(int64_t v) { Bytes(&v, sizeof v); }
    void Text(const std::string& s) {
        N((int64_t)s.size());
        Bytes(s.data(), s.size());
    }
};

struct StateEntry {
    // The globals it covers, as the symbol tables name them, ", " between
    // two; one hidden in a file is "folder/file.cpp:name".
    const char* names;
    // How it is summed. In the digest only when `unsummed` is null; the
    // others are summed just to see FreshGame put them back. Null when the
    // game cannot read it back.
    void (*sum)(StateSum&);
    // Puts back what a program just started holds. Null for what is not
    // the game's state.
    void (*fresh)();
    // Null: in the digest. Otherwise the word why not: machine timing and
    // drawing never decide what the game does; assets and scratch are not
    // state at all.
    const char* unsummed;
};

// The list, the digest's entries first and in the digest's order: that
// order and each entry's encoding make the bytes every recorded replay's
// checkpoints were summed from.
std::span<const StateEntry> StateList();
