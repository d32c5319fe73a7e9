// Writes the window icon as a PNG for the desktop entry.
#include <cstdio>
#include <cstdlib>

#include "ui/SonavistArt.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: sonavist-icon SIZE FILE.png\n");
        return 2;
    }
    const int size = std::atoi(argv[1]);
    if (size < 16 || size > 1024 ||
        !SonavistArt::Icon(SonavistArt::kWindowIcon, size).save(argv[2])) {
        std::fprintf(stderr, "sonavist-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
