// The one funnel every input passes through: the machine's key events wait
// in a queue until the game takes its input, at most once a pass (at its
// update step, or at its first keyboard question), and the machine in use
// says what that input is and whether a step runs.
#include "platform/machine.h"

namespace {
bool taken = false;  // this pass has taken its input
uint64_t steps = 0;
uint64_t (*digest)() = nullptr;

uint32_t queue[MAXEVENTS];
int queued = 0;

void Queue(uint32_t event) {
    if (queued < MAXEVENTS) queue[queued++] = event;
}

inline bool ValidKey(int key) { return key >= 0 && key < 256; }

void KeyboardAsked() {
    if (taken) {
        MachineInUse().Poll();
        return;
    }
    taken = true;
    uint32_t changed[MAXEVENTS];
    MachineInUse().TakeInput(changed, MAXEVENTS);
}

// The keyboard tells the funnel of every question from the start.
const bool hooked = (OnKeyboardQuestion(KeyboardAsked), true);
}  // namespace

bool GrantStep(bool due) {
    (void)hooked;
    if (!MachineInUse().Step(due, !taken)) return false;
    taken = true;
    ++steps;
    return true;
}

void Flip(int sync) {
    MachineInUse().Present(sync);
    EndPass();
}

void EndPass() {
    taken = false;
    MachineInUse().PassEnded();
}

void SetStateDigest(uint64_t (*fn)()) { digest = fn; }
uint64_t StateDigestNow() { return digest ? digest() : 0; }

uint64_t SessionSteps() { return steps; }

void ResetSession() {
    steps = 0;
    taken = false;
    queued = 0;
}

void KeyDownEvent(int key) {
    if (ValidKey(key)) Queue((uint32_t)key << 2 | KEYEVENT_DOWN);
}
void KeyUpEvent(int key) {
    if (ValidKey(key)) Queue((uint32_t)key << 2 | KEYEVENT_UP);
}
void FocusLostEvent() { Queue(KEYEVENT_FOCUS); }
void CloseEvent() { Queue(KEYEVENT_CLOSE); }

int TakeQueuedEvents(uint32_t* out, int max) {
    const int n = queued < max ? queued : max;
    for (int i = 0; i < n; ++i) out[i] = queue[i];
    for (int i = n; i < queued; ++i) queue[i - n] = queue[i];
    queued -= n;
    return n;
}
