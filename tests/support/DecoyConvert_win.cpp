// Stands in for Windows' own convert.exe (the disk tool): any run of it is plainly wrong.
#include <cstdio>

int main() {
    std::fputs("Invalid Parameter - this is the disk tool, not ImageMagick\n", stderr);
    return 4;
}
