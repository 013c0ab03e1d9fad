#pragma once
// The three information windows opened from the main window: the cable
// schematic, the mounting schematic and the about window. They have no
// buttons of their own and are closed with the title bar's close box.

#include "windows/window_base.h"

class QFrame;
class QLabel;

namespace gnc {

class PictureBox;

class TForm7 : public TForm {
    Q_OBJECT
  public:
    explicit TForm7(QWidget* parent = nullptr);
    PictureBox* Image1 = nullptr;
    QFrame* Bevel1 = nullptr; // a short line drawn over the picture
};

class TForm8 : public TForm {
    Q_OBJECT
  public:
    explicit TForm8(QWidget* parent = nullptr);
    PictureBox* Image1 = nullptr;
};

class TForm10 : public TForm {
    Q_OBJECT
  public:
    explicit TForm10(QWidget* parent = nullptr);
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
};

// Reads a JPEG picture (a resource path or a file); null when it cannot be
// read or decoded.
QImage load_jpeg_picture(const QString& path);

} // namespace gnc
