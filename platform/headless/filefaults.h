// Faults the test machine's disk can be made to suffer, so that tests can
// see what a save leaves on the disk when the program dies at any point of
// it. The real machines have none of this: their file layer only asks.
#pragma once

#include <string>
#include <vector>

namespace filefaults {

// After `count` more operations that change the disk (creating, writing,
// syncing, renaming or removing a file, making a folder), nothing reaches
// the disk any more, as if the program had been killed right there; every
// later operation fails. -1 lets every operation through again.
void DieAfter(int count);
// The nth operation that changes the disk from now on fails (an I/O error),
// and every other one succeeds: a fault that passes. 0 lets all through.
void FailOnce(int nth);
// Operations that changed the disk, or would have, since DieAfter.
int Operations();
// Temporary files cannot be created, as in a folder the player may not add
// files to while the files in it stay writable.
void RefuseTemporaries(bool refuse);
// Every operation that changed the disk, or was asked to, in order since
// ForgetChanges: its kind and its file ("rename worlds/x/player.tmp").
const std::vector<std::string>& Changes();
void ForgetChanges();

}  // namespace filefaults
