// The disk's own calls on Windows. Paths come as UTF-8 with "/" and go to
// the system as wide characters with "\"; files are opened as bytes, never
// as text. A file another program holds for a moment (an indexer, a virus
// scanner) is asked for again a few times before a call gives up. Links
// are not followed here: a file is saved where its name is.
#include "platform/files/disk.h"

#include <windows.h>
#include <shlobj.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace disk {

namespace {
std::wstring Wide(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '/') c = '\\';
    const int n = MultiByteToWideChar(CP_UTF8, 0, p.data(), (int)p.size(), nullptr, 0);
    std::wstring w((size_t)n, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, p.data(), (int)p.size(), w.data(), n);
    return w;
}

std::string Narrow(const wchar_t* w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return "";
    std::string s((size_t)n - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
    return s;
}

// The system's word for what went wrong, as errno has it.
void SetErrno() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: errno = EACCES; break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: errno = EEXIST; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
    case ERROR_WRITE_PROTECT: errno = EROFS; break;
    case ERROR_DIRECTORY: errno = ENOTDIR; break;
    default: errno = EIO; break;
    }
}

// Held for a moment by another program: worth asking again. A name being
// renamed or removed also answers "access denied" while a scanner holds
// the file; opening a file answers it only when it is really refused.
bool Busy(bool renaming) {
    const DWORD e = GetLastError();
    return e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION || (renaming && e == ERROR_ACCESS_DENIED);
}

// Asks up to five times, a little longer each time (some 300 ms in all).
template <typename Call>
bool Persist(Call call, bool renaming = false) {
    for (int attempt = 0;; ++attempt) {
        if (call()) return true;
        if (attempt == 4 || !Busy(renaming)) break;
        Sleep(20u << attempt);
    }
    SetErrno();
    return false;
}

HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    HANDLE h = INVALID_HANDLE_VALUE;
    const std::wstring w = Wide(path);
    Persist([&] {
        h = CreateFileW(w.c_str(), access, share, nullptr, disposition, flags, nullptr);
        return h != INVALID_HANDLE_VALUE;
    });
    return h;
}

// A plain file on a disk: not a folder, a device or a pipe.
bool PlainFile(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
           !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadAll(HANDLE h, std::vector<uint8_t>& out, size_t limit) {
    out.clear();
    uint8_t buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h, buf, sizeof buf, &n, nullptr) || n == 0) break;
        out.insert(out.end(), buf, buf + n);
        if (out.size() > limit) break;
    }
    return true;
}

const DWORD SHAREALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}  // namespace

Found Look(const std::string& path) {
    Found f;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return f;
    f.exists = true;
    f.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    f.regular = !f.folder && !(data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE);
    f.readonly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    f.mode = f.readonly ? 0444 : 0644;
    return f;
}

bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string LinkTarget(const std::string&) { return ""; }

bool ReadWhole(const std::string& path, std::vector<uint8_t>& out, size_t limit) {
    if (Forbidden(path.substr(path.rfind('/') + 1))) return false;
    HANDLE h = Open(path, GENERIC_READ, SHAREALL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = PlainFile(h) && ReadAll(h, out, limit);
    CloseHandle(h);
    return ok;
}

std::vector<uint8_t> Head(const std::string& path, size_t size) {
    std::vector<uint8_t> bytes;
    if (Forbidden(path.substr(path.rfind('/') + 1))) return bytes;
    HANDLE h = Open(path, GENERIC_READ, SHAREALL, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    if (PlainFile(h)) {
        bytes.resize(size);
        DWORD n = 0;
        if (!ReadFile(h, bytes.data(), (DWORD)size, &n, nullptr)) n = 0;
        bytes.resize(n);
    }
    CloseHandle(h);
    return bytes;
}

File Create(const std::string& path, Make how, unsigned) {
    if (Forbidden(path.substr(path.rfind('/') + 1))) {
        errno = EACCES;
        return NOFILE;
    }
    // A replay being written is shared for reading only: while it is open,
    // nobody removes it (RemoveUnheld).
    const DWORD access = how == Make::APPEND ? FILE_APPEND_DATA : GENERIC_WRITE;
    const DWORD share = how == Make::APPEND ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_DELETE;
    const DWORD disposition = how == Make::REPLACE ? CREATE_ALWAYS : CREATE_NEW;
    HANDLE h = Open(path, access, share, disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
    return h == INVALID_HANDLE_VALUE ? NOFILE : (File)h;
}

File OpenOver(const std::string& path) {
    HANDLE h = Open(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    return h == INVALID_HANDLE_VALUE ? NOFILE : (File)h;
}

// A file written in place of another was not read-only (those are refused),
// and a new one is made writable: there is nothing to carry over.
void SetMode(File, unsigned) {}

bool Write(File file, const uint8_t* p, size_t n, bool fromstart) {
    HANDLE h = (HANDLE)file;
    if (fromstart) {
        LARGE_INTEGER zero{};
        if (!SetFilePointerEx(h, zero, nullptr, FILE_BEGIN)) {
            SetErrno();
            return false;
        }
    }
    while (n > 0) {
        DWORD w = 0;
        const DWORD chunk = n > (1u << 30) ? (1u << 30) : (DWORD)n;
        if (!WriteFile(h, p, chunk, &w, nullptr)) {
            SetErrno();
            return false;
        }
        p += w;
        n -= w;
    }
    if (fromstart && !SetEndOfFile(h)) {
        SetErrno();
        return false;
    }
    return true;
}

bool Sync(File file) {
    if (FlushFileBuffers((HANDLE)file)) return true;
    SetErrno();
    return false;
}

bool Close(File file) {
    if (CloseHandle((HANDLE)file)) return true;
    SetErrno();
    return false;
}

bool Rename(const std::string& from, const std::string& to) {
    const std::wstring f = Wide(from), t = Wide(to);
    // Through to the disk before it returns: the name is as safe as a
    // folder synced after it elsewhere.
    return Persist([&] { return MoveFileExW(f.c_str(), t.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH); },
                   true);
}

bool Remove(const std::string& path) {
    const std::wstring w = Wide(path);
    if (GetFileAttributesW(w.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    return Persist([&] { return DeleteFileW(w.c_str()) != 0; }, true);
}

// Renames go through to the disk themselves (MOVEFILE_WRITE_THROUGH), and
// a folder cannot be opened to sync it.
bool SyncFolder(const std::string&) { return true; }

bool MakeFolder(const std::string& path) {
    if (Forbidden(path.substr(path.rfind('/') + 1))) {
        errno = EACCES;
        return false;
    }
    if (CreateDirectoryW(Wide(path).c_str(), nullptr)) return true;
    SetErrno();
    return false;
}

std::vector<std::string> List(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(Wide(folder + "/*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
        names.push_back(Narrow(found.cFileName));
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return names;
}

// The devices' names, with or without an ending, in any letter case; and
// names the system would quietly change (a dot or a space at the end).
bool Forbidden(const std::string& name) {
    if (name.empty()) return false;
    if (name.back() == '.' || name.back() == ' ') return name != "." && name != "..";
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = (char)toupper((unsigned char)c);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (stem == device) return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '1' &&
           stem[3] <= '9';
}

std::string Why(int error) { return std::strerror(error); }

// Opened for appending, a replay is shared for reading only: that holds it.
bool Hold(File) { return true; }

bool RemoveUnheld(const std::string& path) {
    // A file open without leave to remove it is held: no asking again.
    if (DeleteFileW(Wide(path).c_str())) return true;
    SetErrno();
    return false;
}

bool MakeFolders(const std::string& folder) {
    std::string p = folder;
    for (char& c : p)
        if (c == '\\') c = '/';
    // After a drive ("C:/") or a share ("//server/share/"), each folder in turn.
    size_t from = p.size() > 1 && p[1] == ':' ? 3 : 1;
    if (p.rfind("//", 0) == 0) from = p.find('/', p.find('/', 2) + 1) + 1;
    for (size_t at = from; at <= p.size() && from > 0; ++at) {
        if (at < p.size() && p[at] != '/') continue;
        const std::string part = p.substr(0, at);
        if (CreateDirectoryW(Wide(part).c_str(), nullptr)) continue;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            SetErrno();
            return false;
        }
        // A file in a folder's place.
        if (!Look(part).folder) {
            errno = ENOTDIR;
            return false;
        }
    }
    const Found f = Look(p);
    if (!f.folder) {
        errno = f.exists ? ENOTDIR : ENOENT;
        return false;
    }
    return true;
}

bool Enter(const std::string& folder) {
    if (!SetCurrentDirectoryW(Wide(folder).c_str())) {
        SetErrno();
        return false;
    }
    // Files can be made here: one that goes again as soon as it is closed.
    HANDLE h = CreateFileW(L"quillmoor-probe.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetErrno();
        return false;
    }
    CloseHandle(h);
    return true;
}

std::vector<std::string> Arguments(int argc, char** argv) {
    int n = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i) args.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return args;
}

std::string PlayersFolder() {
    PWSTR roaming = nullptr;
    std::string folder;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming) == S_OK) folder = Narrow(roaming);
    CoTaskMemFree(roaming);
    return folder.empty() ? "" : folder + "\\Quillmoor";
}

std::string PlayersFolderProblem() { return "Windows names no folder for a player's application data"; }

std::string Stamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char s[32];
    std::snprintf(s, sizeof s, "%04u-%02u-%02u_%02u-%02u-%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return s;
}

}  // namespace disk
