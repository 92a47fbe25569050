// Files that belong together (a world's map and its player) saved as one
// unit: a record of the commit is written once every new file is whole
// under its temporary name, and whoever finds that record finishes the
// renames. A record without its end line was cut short before the commit.
#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/files/filelayer.h"

using namespace filelayer;

namespace {
// The record of a unit save, beside its files: the names of the files, one
// a line, then the end line. Without the end line it was never committed.
struct CommitRecord {
    static constexpr const char* NAME = "commit";
    static constexpr const char* END = "end";
    std::vector<std::string> names;
    bool committed = false;

    std::string Text() const {
        std::string text;
        for (const std::string& n : names) text += n + "\n";
        return text + END + "\n";
    }
    // As a recovery finds it on the disk (not one of the game's own reads:
    // a replay knows only the recovery's answer).
    static CommitRecord Read(const std::string& path) {
        CommitRecord r;
        if (auto record = FileLayer::ReadFile(path)) {
            while (!record->Eof()) {
                const std::string line = record->ReadLine();
                if (line == END) {
                    r.committed = true;
                    break;
                }
                r.names.push_back(line);
            }
        }
        return r;
    }
};
}  // namespace

bool FileLayer::WriteTogether(const std::string& folder, std::initializer_list<TStream*> files) {
    bool ok = true, unit = true, inplace = false;
    CommitRecord record;
    for (TStream* s : files) {
        if (!s || !s->writing || s->closed || !s->place) return false;
        const std::string& path = s->path;
        // Only files right in the folder are named in its record.
        const std::string name = path.substr(std::min(path.size(), folder.size() + 1));
        unit = unit && FolderOf(path) == folder && name.find('\n') == std::string::npos;
        inplace = inplace || s->place->inplace;
        record.names.push_back(name);
    }
    // With no temporary beside a file there can be no commit: written over
    // one by one, a crash between them would leave a new map beside an old
    // player. The save fails, and is shown to fail, with the old files whole.
    if (inplace) {
        for (TStream* s : files) {
            s->closed = true;
            errno = EACCES;
            Fail(*s);
        }
        return false;
    }
    const std::string mark = folder + "/" + CommitRecord::NAME;
    // Every new file whole on the disk under its temporary name...
    for (TStream* s : files) {
        s->closed = true;
        ok = Flush(*s) && ok;
    }
    // ...then the commit: from the moment its record is on the disk, the new
    // files win, and a crash before the renames below is finished by the
    // next RecoverSaves.
    if (ok && unit) ok = WriteSynced(mark, record.Text()) && SyncFolder(folder);
    if (!ok) {
        for (TStream* s : files) Fail(*s);
        return false;
    }
    for (TStream* s : files)
        if (!Replace(*s)) {
            // The record stays: the next RecoverSaves finishes what is left.
            Complain(s->path, disk::Why(errno));
            s->failed = true;
            ok = false;
        }
    if (ok && unit) {
        SyncFolder(folder);
        Unlink(mark);
    }
    if (ok) {
        std::vector<std::string> targets;
        for (TStream* s : files) targets.push_back(s->place->target);
        if (!KeepFiles(targets)) {
            for (TStream* s : files) {
                Complain(s->path, "it could not be kept");
                s->failed = true;
            }
            ok = false;
        }
    }
    return ok;
}

namespace filelayer {
bool Recover(const std::string& folder) {
    const std::string mark = folder + "/" + CommitRecord::NAME;
    bool ok = true;
    if (disk::Exists(mark)) {
        const CommitRecord record = CommitRecord::Read(mark);
        if (record.committed) {
            for (const std::string& name : record.names) {
                // A record names files of its own folder and nothing else.
                if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
                    ok = false;
                    continue;
                }
                const std::string target = ResolveLinks(folder + "/" + name);
                if (disk::Exists(target + TEMPSUFFIX)) ok = Rename(target + TEMPSUFFIX, target) && ok;
            }
            if (ok) SyncFolder(folder);
        }
        // A record without its end line was cut short before the commit: the
        // old files stand, and its temporaries go with the rest below.
        if (ok) ok = Unlink(mark);
    }
    // Only a folder brought back to one whole save is swept: while a
    // committed save is unfinished, its new files are still needed under
    // their temporary names, or the next start would finish the commit with
    // nothing left to rename and load half of it beside the old other half.
    if (ok)
        for (const std::string& name : disk::List(folder))
            if (EndsWith(name, TEMPSUFFIX)) Unlink(folder + "/" + name);
    if (!ok) std::fprintf(stderr, "could not finish the last save in %s; it is kept to be finished later\n", folder.c_str());
    // What is put right here are the disk's own leftovers: where the files
    // are kept elsewhere (the browser), only whole files ever went there.
    return ok;
}

bool SaveableFolder(const std::string& folder) {
    // A name the system keeps for a device is no folder's.
    if (disk::Forbidden(folder.substr(folder.rfind('/') + 1))) return false;
    MakeFolder(folder);
    if (!disk::Look(folder).folder) return false;
    const std::string probe = folder + "/probe" + TEMPSUFFIX;
    Unlink(probe);
    const disk::File file = Create(probe, disk::Make::NEW, 0644, DiskChange::TEMPORARY);
    // A world is saved as one unit, through temporaries beside its files:
    // where none can be made, it can never be saved, whatever its files allow.
    if (file == disk::NOFILE) return false;
    disk::Close(file);
    Unlink(probe);
    return true;
}
}  // namespace filelayer

