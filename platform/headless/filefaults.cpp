// The test machine's disk faults: a death after so many operations, one
// operation that fails while the rest succeed, temporaries refused; and the
// order the changes came in.
#include "platform/headless/filefaults.h"

#include <cerrno>

#include "platform/backend.h"

namespace {
int opsleft = -1, opsdone = 0;
int failonce = 0;  // counting down to the one operation a test makes fail
bool refusetemps = false;
std::vector<std::string> changes;
// A test looks at a save or two; a long run keeps only its latest changes.
constexpr size_t KEPTCHANGES = 4096;

const char* Name(DiskChange change) {
    switch (change) {
    case DiskChange::TEMPORARY: return "temporary";
    case DiskChange::CREATE: return "create";
    case DiskChange::WRITE: return "write";
    case DiskChange::SYNC: return "sync";
    case DiskChange::SYNCFOLDER: return "sync folder";
    case DiskChange::RENAME: return "rename";
    case DiskChange::REMOVE: return "remove";
    case DiskChange::MAKEFOLDER: return "make folder";
    }
    return "?";
}
}  // namespace

int DiskFault(DiskChange change, const std::string& path) {
    ++opsdone;
    if (changes.size() >= KEPTCHANGES) changes.erase(changes.begin(), changes.begin() + KEPTCHANGES / 2);
    changes.push_back(std::string(Name(change)) + " " + path);
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
const std::vector<std::string>& Changes() { return changes; }
void ForgetChanges() { changes.clear(); }
}  // namespace filefaults
