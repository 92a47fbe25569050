// The test machine's disk faults: a death after so many operations, one
// operation that fails while the rest succeed, temporaries refused.
#include <cerrno>

#include "platform/backend.h"
#include "platform/headless/filefaults.h"

namespace {
int opsleft = -1, opsdone = 0;
int failonce = 0;  // counting down to the one operation a test makes fail
bool refusetemps = false;
}  // namespace

int DiskFault(DiskChange change) {
    ++opsdone;
    if (failonce > 0 && --failonce == 0) return EIO;
    if (opsleft == 0) return EIO;
    if (opsleft > 0) --opsleft;
    if (refusetemps && change == DiskChange::TEMPORARY) return EACCES;
    return 0;
}

namespace filefaults {
void DieAfter(int count) {
    opsleft = count;
    opsdone = 0;
}
int Operations() { return opsdone; }
void RefuseTemporaries(bool refuse) { refusetemps = refuse; }
void FailOnce(int nth) { failonce = nth; }
}  // namespace filefaults
