#include "windows/info_windows.h"

#include "windows/form_layout.h"
#include "windows/jpeg_image.h"
#include "windows/picture_box.h"
#include "windows/text.h"

#include <QFile>
#include <QFrame>
#include <QLabel>

namespace gnc {

namespace {

void set_up_information_window(TForm* window, const char* name, const char* caption, int width,
                               int height) {
    window->setObjectName(QString::fromLatin1(name));
    use_close_box_only(window);
    apply_form_font(window);
    fix_outer_size(window, width, height);
    window->setWindowTitle(qs(caption));
}

PictureBox* place_picture(QWidget* parent, const QString& path, bool transparent, int width,
                          int height) {
    auto* box = new PictureBox(parent);
    box->setObjectName(QStringLiteral("Image1"));
    box->setGeometry(0, 0, width, height);
    // Decoded when the window is first shown: most runs never open it.
    box->set_picture_source([path] { return load_jpeg_picture(path); }, transparent);
    return box;
}

} // namespace

QImage load_jpeg_picture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decode_jpeg(file.readAll());
}

TForm7::TForm7(QWidget* parent) : TForm(parent) {
    set_up_information_window(this, "TForm7",
                              "DOMOWY SYSTEM POWIADOMIENIA SMS PODŁĄCZENIE DO KOMPUTERA", 393, 393);
    Image1 = place_picture(this, QStringLiteral(":/schematics/cable.jpg"), false, 385, 361);
    Bevel1 = place_line(this, "Bevel1", 288, 128, 25, 1);
    Bevel1->raise();
}

TForm8::TForm8(QWidget* parent) : TForm(parent) {
    set_up_information_window(this, "TForm8", "DOMOWY SYSTEM POWIADOMIENIA SMS SCHEMAT MONTAŻOWY",
                              689, 569);
    Image1 = place_picture(this, QStringLiteral(":/schematics/mounting.jpg"), true, 681, 537);
}

TForm10::TForm10(QWidget* parent) : TForm(parent) {
    set_up_information_window(this, "TForm10", "INFORMACJE O SYSTEMIE  I FIRMIE", 609, 233);
    Bevel1 = place_bevel(this, "Bevel1", 0, 0, 601, 201);
    Label1 = place_label(this, "Label1", QString(), 128, 0);
    Label2 = place_label(this, "Label2", qs("Wersja 1.3  Aplikacja bezpłatna"), 192, 24);
    Label3 = place_label(this, "Label3", qs("Pracownia Układów Alarmowych s.c."), 208, 64);
    Label4 = place_label(this, "Label4", qs("ul. Przykładowa 12,  00-950 Miasto"), 160, 88);
    Label5 = place_label(this, "Label5", qs("tel. (00) 123 45 67,  fax (00) 123 45 68"), 176, 112);
    Label6 = place_label(this, "Label6", qs("www.uklady-alarmowe.example"), 224, 136);
    Label7 = place_label(this, "Label7", qs("biuro@uklady-alarmowe.example"), 216, 160);
}

} // namespace gnc
