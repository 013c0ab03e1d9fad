// Pictures of the information windows: libjpeg decoding that survives
// damaged data, proportional fitting that never enlarges, and the windows'
// captions and pictures as the user sees them.

#include "windows/info_windows.h"
#include "windows/jpeg_image.h"
#include "windows/picture_box.h"

#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QTest>

using namespace gnc;

namespace {

QByteArray resource_bytes(const char* path) {
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Index of the first baseline start-of-frame marker (FF C0).
qsizetype frame_marker(const QByteArray& jpeg) {
    return jpeg.indexOf(QByteArray("\xFF\xC0", 2));
}

bool keeps_proportions(QSize shown, QSize original) {
    const double a = double(shown.width()) / shown.height();
    const double b = double(original.width()) / original.height();
    return std::abs(a - b) < 0.01;
}

} // namespace

class TestInfoWindows : public QObject {
    Q_OBJECT

  private slots:
    void embedded_schematics_decode_at_their_sizes() {
        const QImage cable = decode_jpeg(resource_bytes(":/schematics/cable.jpg"));
        const QImage mounting = decode_jpeg(resource_bytes(":/schematics/mounting.jpg"));
        QCOMPARE(cable.size(), QSize(404, 379));
        QCOMPARE(mounting.size(), QSize(713, 562));
        // Drawn on white: a corner pixel is (nearly) white, not a decoding default.
        QVERIFY(qGray(cable.pixel(0, cable.height() - 1)) > 240);
    }

    void damaged_jpeg_decodes_to_nothing() {
        const QByteArray good = resource_bytes(":/schematics/cable.jpg");
        QVERIFY(!good.isEmpty());

        QVERIFY(decode_jpeg(QByteArray()).isNull());
        QVERIFY(decode_jpeg(QByteArray("not a picture at all")).isNull());
        QVERIFY(decode_jpeg(good.left(2)).isNull());                      // marker only
        QVERIFY(decode_jpeg(good.left(good.size() / 2)).isNull());        // cut in the scan data
        QVERIFY(decode_jpeg(good.left(frame_marker(good) + 6)).isNull()); // cut in the header

        QByteArray scrambled = good;
        for (qsizetype i = good.size() / 3; i < good.size() / 3 + 64; ++i)
            scrambled[i] = char(0xFF); // markers in the middle of the scan data
        QVERIFY(decode_jpeg(scrambled).isNull());

        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage picture(8, 8, QImage::Format_RGB888);
        picture.fill(Qt::white);
        picture.save(&buffer, "PNG");
        QVERIFY(decode_jpeg(png).isNull());
    }

    void absurd_picture_sizes_are_refused() {
        QByteArray huge = resource_bytes(":/schematics/cable.jpg");
        const qsizetype sof = frame_marker(huge);
        QVERIFY(sof > 0);
        // FF C0, length (2), precision (1), height (2), width (2)
        huge[sof + 5] = char(0xEA);
        huge[sof + 6] = char(0x60);
        huge[sof + 7] = char(0xEA);
        huge[sof + 8] = char(0x60);
        QVERIFY(decode_jpeg(huge).isNull());
    }

    void pictures_shrink_in_proportion_and_never_grow() {
        QCOMPARE(fitted_size({404, 379}, {385, 361}).height(), 361);
        QVERIFY(fitted_size({404, 379}, {385, 361}).width() <= 385);
        QCOMPARE(fitted_size({713, 562}, {681, 537}).width(), 681);
        QVERIFY(fitted_size({713, 562}, {681, 537}).height() <= 537);
        QCOMPARE(fitted_size({100, 50}, {385, 361}), QSize(100, 50)); // not enlarged
        QCOMPARE(fitted_size({385, 361}, {385, 361}), QSize(385, 361));
        QCOMPARE(fitted_size({1000, 100}, {200, 200}), QSize(200, 20)); // width decides
        QCOMPARE(fitted_size({100, 1000}, {200, 200}), QSize(20, 200)); // height decides
        QVERIFY(fitted_size({0, 0}, {200, 200}).isEmpty());
    }

    void cable_window_shows_its_picture_whole() {
        TForm7 window;
        QCOMPARE(window.windowTitle(),
                 QString::fromUtf8("DOMOWY SYSTEM POWIADOMIENIA SMS PODŁĄCZENIE DO KOMPUTERA"));
        QCOMPARE(window.size(), QSize(385, 361));
        QCOMPARE(window.Image1->geometry(), QRect(0, 0, 385, 361));
        const QRect shown = window.Image1->picture_rect();
        QVERIFY(window.Image1->rect().contains(shown));
        QVERIFY(shown.width() == 385 || shown.height() == 361);
        QVERIFY(keeps_proportions(shown.size(), {404, 379}));
        QCOMPARE(window.Bevel1->geometry(), QRect(288, 128, 25, 1));
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(window.windowFlags() & Qt::WindowMinMaxButtonsHint));
    }

    void mounting_window_shows_its_picture_whole_and_transparent() {
        TForm8 window;
        QCOMPARE(window.windowTitle(),
                 QString::fromUtf8("DOMOWY SYSTEM POWIADOMIENIA SMS SCHEMAT MONTAŻOWY"));
        QCOMPARE(window.size(), QSize(681, 537));
        const QRect shown = window.Image1->picture_rect();
        QVERIFY(window.Image1->rect().contains(shown));
        QVERIFY(keeps_proportions(shown.size(), {713, 562}));
        const QImage& picture = window.Image1->picture();
        QCOMPARE(qAlpha(picture.pixel(0, picture.height() - 1)), 0); // background shows through
        QVERIFY(window.grab().toImage().pixelColor(2, 530) == window.palette().window().color());
    }

    void a_picture_that_cannot_be_decoded_shows_nothing() {
        PictureBox box;
        box.resize(100, 100);
        box.set_picture(decode_jpeg(QByteArray("\xFF\xD8\xFF\xE0 broken", 12)), true);
        QVERIFY(box.picture_rect().isEmpty());
        const QImage drawn = box.grab().toImage(); // paints without a picture
        QCOMPARE(drawn.size(), QSize(100, 100));
        QVERIFY(load_jpeg_picture(QStringLiteral("/nonexistent/picture.jpg")).isNull());
    }

    void about_window_texts() {
        TForm10 window;
        QCOMPARE(window.windowTitle(), QString::fromUtf8("INFORMACJE O SYSTEMIE  I FIRMIE"));
        QCOMPARE(window.size(), QSize(601, 201));
        QCOMPARE(window.Bevel1->geometry(), QRect(0, 0, 601, 201));
        QCOMPARE(window.Label2->text(), QString::fromUtf8("Wersja 1.3  Aplikacja bezpłatna"));
        QCOMPARE(window.Label2->pos(), QPoint(192, 24));
        QCOMPARE(window.Label7->pos(), QPoint(216, 160));
        for (QLabel* line :
             {window.Label3, window.Label4, window.Label5, window.Label6, window.Label7})
            QVERIFY(!line->text().isEmpty());
    }
};

QTEST_MAIN(TestInfoWindows)
#include "test_info_windows.moc"
