// Draws every picture into the resources folder given as the only argument:
//   gnc-draw-artwork /path/to/resources
// Run it with QT_QPA_PLATFORM=offscreen on a machine without a display.

#include "artwork.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool save(const artwork::Picture& picture, const QDir& folder) {
    const QString path = folder.filePath(picture.file);
    QDir().mkpath(QFileInfo(path).path());
    const QImage image = picture.draw();
    const bool ok = path.endsWith(QLatin1String(".jpg")) ? artwork::write_jpeg(image, path, 92)
                                                         : image.save(path, "PNG");
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "FAILED", qPrintable(picture.file), image.width(),
                image.height());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RESOURCES_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool all = true;
    for (const auto& group :
         {artwork::button_pictures(), artwork::icon_pictures(), artwork::schematic_pictures()})
        for (const auto& picture : group)
            all = save(picture, folder) && all;
    const QString icon_file = QStringLiteral("windows/gsm-notifier-config.ico");
    QDir().mkpath(folder.filePath(QStringLiteral("windows")));
    const bool icon_written =
        artwork::write_ico(artwork::windows_icon_images(), folder.filePath(icon_file));
    std::printf("%s %s\n", icon_written ? "wrote" : "FAILED", qPrintable(icon_file));
    return all && icon_written ? 0 : 1;
}
