#pragma once
// The program that draws this project's artwork: button pictures, the window
// icon and the two schematic pictures. Its output is committed; the build
// compiles the program but does not run it (target redraw-artwork does).

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

namespace artwork {

struct Picture {
    QString file; // relative to the resources folder
    std::function<QImage()> draw;
};

std::vector<Picture> button_pictures();
std::vector<Picture> icon_pictures();
std::vector<Picture> schematic_pictures();

// The drawn icon in every size the Windows icon file carries, smallest first.
std::vector<QImage> windows_icon_images();
// A Windows icon file (.ico) holding `images`, square, up to 256 pixels.
bool write_ico(const std::vector<QImage>& images, const QString& path);

// Baseline JPEG through libjpeg; false when the file cannot be written.
bool write_jpeg(const QImage& image, const QString& path, int quality);

} // namespace artwork
