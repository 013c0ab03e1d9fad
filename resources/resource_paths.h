#pragma once
// Names of the embedded pictures (target gnc_resources). Button pictures are
// 32 x 32, 24-bit, drawn on the button-face colour.

#include <QIcon>

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
inline constexpr const char* window_icon_large = ":/icons/gsm-notifier-config-64.png";

inline constexpr const char* cable_schematic = ":/schematics/cable.jpg";
inline constexpr const char* mounting_schematic = ":/schematics/mounting.jpg";

// An embedded PNG picture (the button pictures and icons), read at once.
QPixmap read_picture(const QString& path);
QIcon picture_icon(const QString& path);

// The application's icon in both sizes, read once and shared.
QIcon application_icon();

// The picture `path` as an icon that reads its file only when it is first
// drawn or measured: for the buttons of windows hidden at start-up.
QIcon icon_read_when_drawn(const char* path);

} // namespace gnc::pictures
