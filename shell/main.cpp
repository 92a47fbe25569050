#include "shell/shell.h"

int main(int argc, char** argv) {
    const int code = StartFromCommandLine(argc, argv);
    return code >= 0 ? code : RunGame();
}
