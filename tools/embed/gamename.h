// A built-in file's name as the game asks for it: its path below ROOT with
// "\" between folders ("gfx\font.png"), and that name as a C++ literal.
#pragma once

#include <string>

inline std::string GameName(const std::string& root, std::string path) {
    if (path.compare(0, root.size(), root) == 0) path = path.substr(root.size());
    while (!path.empty() && path[0] == '/') path.erase(0, 1);
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

inline std::string Literal(const std::string& name) {
    std::string escaped;
    for (char c : name) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    return escaped;
}
