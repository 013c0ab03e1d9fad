// Windows laid out in 120-per-inch pixels come out at 0.8 logical pixels per
// layout pixel, or smaller where they would not fit the screen's work area:
// every control, font and picture by the same map, texts fitted again.

#include "windows/arrange_when_shown.h"
#include "windows/form_layout.h"
#include "windows/screen_fit.h"
#include "windows/window_base.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>

using namespace gnc;

namespace {

// A window of the given layout size with a line, a label sized to its text,
// a picture button and a title in a font of its own.
class LaidOutWindow : public TForm {
  public:
    LaidOutWindow(int width, int height) {
        apply_form_font(this);
        fix_outer_size(this, width, height);
        line = place_line(this, "Bevel1", 0, height - frame_extra_height - 1, width, 1);
        label =
            place_label(this, "Label1", QStringLiteral("Definicja dobowego limitu SMS"), 336, 40);
        button = new QToolButton(this);
        button->setGeometry(368, 80, 49, 41);
        button->setIconSize(QSize(32, 32));
        title = place_label(this, "Label6", QStringLiteral("Parametry ustawień"), 192, 0);
        QFont title_font = title->font();
        title_font.setPixelSize(23);
        title->setFont(title_font);
    }
    QFrame* line;
    QLabel* label;
    QToolButton* button;
    QLabel* title;
};

int device_pixels(const QWidget* widget) {
    return qRound(QFontInfo(widget->font()).pixelSize() * widget->devicePixelRatioF());
}

} // namespace

class TestScreenFit : public QObject {
    Q_OBJECT

  private slots:
    void a_window_that_fits_is_mapped_at_four_fifths() {
        LaidOutWindow window(673, 300);
        QCOMPARE(window_scale(&window), 1.0); // laid out, not yet fitted
        window.show();
        QCOMPARE(window_scale(&window), layout_scale);
        QCOMPARE(window.size(), QSize(532, 214)); // 665 x 268 layout pixels
        QCOMPARE(window.font().pixelSize(), 10);
        QCOMPARE(window.title->font().pixelSize(), 18);
        QCOMPARE(window.button->geometry(), QRect(294, 64, 40, 33));
        QCOMPARE(window.button->iconSize(), QSize(26, 26));
        // Edges mapped one by one: the bottom line stays one pixel at the
        // window's last row.
        QCOMPARE(window.line->geometry(), QRect(0, 213, 538, 1));
        QCOMPARE(window.label->pos(), QPoint(269, 32));
        QCOMPARE(window.label->size(), window.label->sizeHint()); // fitted in its new font
        QCOMPARE(scaled(window.label, QRect(336, 40, 10, 1)), QRect(269, 32, 8, 1));
        // Shown again: nothing is mapped twice.
        window.hide();
        window.show();
        QCOMPARE(window.size(), QSize(532, 214));
        QCOMPARE(window.button->geometry(), QRect(294, 64, 40, 33));
    }

    void a_window_too_large_shrinks_into_the_work_area() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        LaidOutWindow window(area.width() * 2, area.height() * 2);
        window.move(300, 35);
        window.show();
        QVERIFY(window_scale(&window) < layout_scale);
        QVERIFY(area.contains(window.frameGeometry()));
        // No text drawn below the smallest size, however far the window shrank.
        QCOMPARE(device_pixels(&window), smallest_font_device_pixels);
        QVERIFY(device_pixels(window.title) >= smallest_font_device_pixels);
        QCOMPARE(window.label->size(), window.label->sizeHint());
    }

    void a_window_moved_to_another_screen_is_fitted_to_that_one() {
        const QList<QScreen*> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 2);
        LaidOutWindow window(673, 889); // the parameters window's size
        window.show();
        QCOMPARE(window_scale(&window), layout_scale);
        window.windowHandle()->setScreen(screens[1]);
        QVERIFY(window_scale(&window) < layout_scale);
        QVERIFY(window.frameGeometry().height() <= screens[1]->availableGeometry().height());
        QCOMPARE(window.label->size(), window.label->sizeHint()); // fitted to its smaller font
        window.windowHandle()->setScreen(screens[0]);
        QCOMPARE(window_scale(&window), layout_scale);
        QCOMPARE(window.size(), QSize(532, 686));
    }

    void check_boxes_get_boxes_at_the_window_scale() {
        LaidOutWindow window(400, 200);
        auto* box = new QCheckBox(&window);
        box->setGeometry(8, 32, 17, 17);
        const int unscaled = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box);
        window.show();
        QCOMPARE(box->size(), QSize(14, 13)); // edges at 25.6 and 39.2
        QCOMPARE(box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box),
                 qRound(unscaled * layout_scale));
    }
};

// Qt's offscreen platform with two screens: a 1920 x 1080 one and a small one
// to its right.
int main(int argc, char** argv) {
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [{"name": "A", "x": 0, "y": 0, "width": 1920, "height": 1080},
                               {"name": "B", "x": 1920, "y": 0, "width": 1024, "height": 600}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    QApplication application(argc, argv);
    TestScreenFit test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_screen_fit.moc"
