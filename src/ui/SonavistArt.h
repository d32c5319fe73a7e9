#pragma once

#include <QImage>

// The program's pictures, drawn in code: the window and About icons and the folder tree's strip.
class SonavistArt {
public:
    static constexpr int kWindowIcon = 131;
    static constexpr int kAboutIcon = 128;
    static constexpr int kTreeImageCount = 15;
    static constexpr int kTreeImageWidth = 17;
    static constexpr int kTreeImageHeight = 16;

    // The icon resource of that id at the given edge length.
    static QImage Icon(int id, int size);
    // Image index of the tree strip: 0 open folder, 1 folder, 2 to 6 the volume kinds, 7 the
    // network, 8 to 14 network entries of display types 1 to 7.
    static QImage TreeImage(int index);
};
