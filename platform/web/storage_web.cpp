// The player's files, kept in the browser's own storage by the page
// (saves.js): the game works on a folder in memory, read whole from the
// storage before it starts, and after each save waits until the files it
// wrote are stored, so "world saved" means stored.
#include <string>
#include <vector>

#include "platform/web/web.h"

// The file system's own errors are the only faults here.
int DiskFault(DiskChange, const std::string&) { return 0; }

bool KeepFiles(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) list += path + "\n";
    const int job = WebKeepStart(list.c_str());
    // The browser writes while the page goes on showing frames: the frame
    // on the screen (the save's notice) is shown again at every one.
    int result;
    while ((result = WebKeepResult(job)) < 0) {
        if (WindowOpen())
            ShowFrame(1);
        else
            WebNextFrame();
    }
    return result == 1;
}
