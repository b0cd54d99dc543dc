// Draws the default skin's pictures into the folder given on the command line
// (the build runs it to fill <stage>/skin/default/images).
#include "SkinImageGenerator.h"

#include <cstdio>

#include <QString>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <images folder>\n", argc > 0 ? argv[0] : "skin_image_generator");
        return 2;
    }
    const SkinImageGenerator generator;
    const int nFailures = generator.WriteAll(QString::fromLocal8Bit(argv[1]));
    if (nFailures != 0)
        return 1;
    std::printf("skin: %lld pictures written to %s\n", static_cast<long long>(generator.Entries().size()), argv[1]);
    return 0;
}
