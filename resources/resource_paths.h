#pragma once
// Names of the embedded pictures (target gnc_resources). Button pictures are
// 32 x 32, 24-bit, drawn on the button-face colour; each is also drawn in
// the sizes of button_picture_sizes, and the window icon in those of
// window_icon_sizes, so that every screen scale finds a drawing of (or just
// above) the size it shows.

#include <QIcon>
#include <QString>

namespace gnc::pictures {

// main window
inline constexpr const char* connect = ":/pictures/connect.png";
inline constexpr const char* read = ":/pictures/read.png";
inline constexpr const char* parameters = ":/pictures/parameters.png";
inline constexpr const char* template_open = ":/pictures/template_open.png";
inline constexpr const char* exit = ":/pictures/exit.png";
inline constexpr const char* cable = ":/pictures/cable.png";
inline constexpr const char* mounting = ":/pictures/mounting.png";
inline constexpr const char* about = ":/pictures/about.png";
// parameters window
inline constexpr const char* left_arrow = ":/pictures/left_arrow.png";
inline constexpr const char* ini = ":/pictures/ini.png";
inline constexpr const char* bell = ":/pictures/bell.png";
// messages window (its exit button uses `exit`)
inline constexpr const char* back = ":/pictures/back.png";
inline constexpr const char* factory_texts = ":/pictures/factory_texts.png";
inline constexpr const char* write_device = ":/pictures/write_device.png";
inline constexpr const char* save_disk = ":/pictures/save_disk.png";

inline constexpr const char* window_icon = ":/icons/gsm-notifier-config.png";

inline constexpr const char* cable_schematic = ":/schematics/cable.jpg";
inline constexpr const char* mounting_schematic = ":/schematics/mounting.jpg";

// Sizes besides 32 in which every button picture is drawn: 32 * 0.8 (the
// windows' scale where they fit) times 1, 1.25, 1.5, 1.75 and 2 (the
// screens' usual scales), and the same for windows shrunk to fit.
inline constexpr int button_picture_sizes[] = {23, 26, 29, 33, 36, 39, 46, 52, 64};
// Sizes besides 32 of the window icon: title bars, task bars and window
// lists at those scales.
inline constexpr int window_icon_sizes[] = {16, 20, 24, 28, 40, 48, 64};

// The file of the picture `path` drawn `size` pixels square:
// "x.png" becomes "x-26.png".
inline QString sized_picture(const QString& path, int size) {
    return path.chopped(4) + QStringLiteral("-%1.png").arg(size);
}

// An embedded PNG picture (the button pictures and icons), read at once.
QPixmap read_picture(const QString& path);
QIcon picture_icon(const QString& path);

// The application's icon in all its sizes, read once and shared.
QIcon application_icon();

// The button picture `path` as an icon that reads only the drawing of the
// size it is shown in, when it is first drawn at that size. A size between
// two drawings is scaled down from the larger one.
QIcon icon_read_when_drawn(const char* path);

} // namespace gnc::pictures
