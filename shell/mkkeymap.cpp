// The keyboard map generator, run by the build: draws the map from the keyboard translator's
// table, lettered with the drawn character set, into a PNG.
//
//   vorlix-mkkeymap assets/font.txt build/shell/keymap/keyboard-map.png
#include <cstdio>
#include <string>

#include <QImage>
#include <QString>

#include "assets/CFontSheet.h"
#include "shell/CKeyMapPainter.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorlix-mkkeymap FONT_SOURCE OUTPUT_PNG\n");
        return 2;
    }
    CFontSheet sheet;
    std::string error;
    if (!sheet.ParseFile(argv[1], error)) {
        std::fprintf(stderr, "vorlix-mkkeymap: %s\n", error.c_str());
        return 1;
    }
    if (!CKeyMapPainter(sheet).Draw().save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "vorlix-mkkeymap: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
