#include "replay/records.h"

#include "engine/keys.h"

namespace replayfile {

namespace {
// The keys the game uses, so that an event of one of them takes one byte.
constexpr uint8_t SHORTKEYS[] = {0,  KEY_ENTER, KEY_ESCAPE, KEY_SPACE, KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN,
                                 KEY_0, KEY_1, KEY_2, KEY_3, KEY_A, KEY_D, KEY_O, KEY_P, KEY_S, KEY_W, KEY_X, KEY_Z,
                                 KEY_BACKSPACE, KEY_TAB, KEY_SHIFT, KEY_CONTROL, KEY_ALT};
}  // namespace

uint32_t ShortCode(uint32_t event) {
    const uint32_t key = event >> 2, kind = event & 3;
    for (uint32_t i = 0; i < sizeof SHORTKEYS; ++i)
        if (SHORTKEYS[i] == key) return i << 2 | kind;
    return OTHERKEY << 2 | kind;
}

void PutShort(Out& out, uint32_t event) {
    const uint32_t code = ShortCode(event);
    out.Var(code);
    if (code >> 2 == OTHERKEY) out.Var(event >> 2);
}

uint32_t GetShort(In& in) {
    const uint64_t v = in.Var();
    const uint64_t i = v >> 2, kind = v & 3;
    if (i == OTHERKEY) return (uint32_t)(in.Var() << 2 | kind);
    if (i >= sizeof SHORTKEYS) {
        in.bad = true;
        return 0;
    }
    return (uint32_t)SHORTKEYS[i] << 2 | (uint32_t)kind;
}

bool Decode(In& in, Record& r) {
    r.tag = in.U8();
    r.events.clear();
    r.names.clear();
    if (r.tag & ONEKEYPASS) {
        const uint8_t c = (uint8_t)(r.tag & ~ONEKEYPASS);
        In one{&c, 1};
        r.events.push_back(GetShort(one));
        r.tag = STEPSPASS;
        r.n = in.Var();
        return !in.bad && !one.bad && r.n < CHECKEVERY;
    }
    switch (r.tag) {
    // A recording writes a checkpoint every CHECKEVERY steps, so no run of
    // steps is longer; a longer one could only make a replay run for ever.
    case STEPS: r.n = in.Var(); return !in.bad && r.n > 0 && r.n <= CHECKEVERY;
    case QUIET: r.n = in.Var(); return !in.bad && r.n > 0 && r.n <= QUIETRUN;
    case STEPSIN:
    case STEPSPASS: {
        r.n = in.Var();
        const uint64_t n = in.Var();
        if (in.bad || r.n >= CHECKEVERY || n == 0 || n > MOSTEVENTS) return false;
        for (uint64_t i = 0; i < n && !in.bad; ++i) r.events.push_back(GetShort(in));
        return !in.bad;
    }
    case STEPIN:
    case PASSIN: {
        const uint64_t n = in.Var();
        if (in.bad || n == 0 || n > MOSTEVENTS) return false;
        for (uint64_t i = 0; i < n; ++i) r.events.push_back((uint32_t)in.Var());
        return !in.bad;
    }
    case START:
        r.value = in.Var();
        r.path = in.Str();
        return !in.bad;
    case READ:
        r.path = in.Str();
        r.value = in.U8();
        if (r.value == BYTES) {
            r.size = (size_t)in.Var();
            if (!in.bad) in.Raw(r.size, r.bytes);
        }
        return !in.bad && r.value <= BYTES;
    case LIST: {
        r.path = in.Str();
        const uint64_t n = in.Var();
        for (uint64_t i = 0; i < n && !in.bad; ++i) r.names.push_back(in.Str());
        return !in.bad;
    }
    case ANSWER:
        r.n = in.U8();
        r.path = in.Str();
        r.value = in.U8();
        return !in.bad && r.value <= 1;
    case CHECK:
    case END:
        r.step = in.Var();
        r.value = in.U64();
        return !in.bad;
    default: return false;
    }
}

const char* TagName(uint8_t tag) {
    switch (tag) {
    case STEPS:
    case STEPIN:
    case STEPSIN: return "an update step";
    case PASSIN:
    case QUIET:
    case STEPSPASS: return "keys";
    case START: return "the start";
    case READ: return "a file read";
    case LIST: return "a folder's list";
    case ANSWER: return "a file operation";
    case CHECK: return "a checkpoint";
    case END: return "the end";
    default: return "nothing";
    }
}

uint64_t StepsIn(const Record& r) {
    switch (r.tag) {
    case STEPS: return r.n;
    case STEPIN: return 1;
    case STEPSIN: return r.n + 1;
    case STEPSPASS: return r.n;
    default: return 0;
    }
}

}  // namespace replayfile
