// What the windows' start-up saves must not change their look: controls
// sized to their texts when their window first shows (not before, not
// forgotten, not undone, and before the window's own show handler sees
// them), and the windows' face chosen from the faces the system has.

#include "windows/arrange_when_shown.h"
#include "windows/form_layout.h"

#include <QDialog>
#include <QFontInfo>
#include <QLabel>
#include <QTest>

#include <memory>
#include <vector>

using namespace gnc;

namespace {

const QString long_text = QStringLiteral("Definicja ustawień i programowanie układu");

bool fits(const QLabel* label) {
    return label->size() == label->sizeHint();
}

// A window that notes, in its own show handler, whether its label fits.
class NotingWindow : public QDialog {
  public:
    explicit NotingWindow(QWidget* parent = nullptr) : QDialog(parent) {
        label = place_label(this, "Label1", long_text, 16, 24);
    }
    QLabel* label;
    bool label_fitted_when_shown = false;

  protected:
    void showEvent(QShowEvent* event) override {
        label_fitted_when_shown = fits(label);
        QDialog::showEvent(event);
    }
};

} // namespace

class TestArrangeWhenShown : public QObject {
    Q_OBJECT

  private slots:
    void labels_are_sized_when_their_window_first_shows() {
        NotingWindow window;
        QVERIFY(!fits(window.label)); // nothing measured yet
        window.show();
        QVERIFY(window.label_fitted_when_shown);
        QVERIFY(fits(window.label));
        QCOMPARE(window.label->pos(), QPoint(16, 24));
    }

    void showing_the_main_window_leaves_its_hidden_windows_alone() {
        // Showing a window polishes the windows that belong to it, hidden
        // ones too; that must not count as their being shown.
        QWidget main_window;
        auto* hidden = new NotingWindow(&main_window);
        main_window.show();
        QVERIFY(!hidden->isVisible());
        QVERIFY(!fits(hidden->label));
        hidden->show();
        QVERIFY(hidden->label_fitted_when_shown);
    }

    void a_window_shown_before_sizes_at_once() {
        NotingWindow window;
        window.show();
        window.hide();
        set_label_text(window.label, long_text + QStringLiteral(" i jeszcze dłuższy tekst"));
        QVERIFY(fits(window.label));
        auto* later_label = place_label(&window, "Label2", long_text, 16, 48);
        QVERIFY(fits(later_label));
    }

    void the_last_text_counts_and_a_later_resize_stays() {
        NotingWindow window;
        set_label_text(window.label, QStringLiteral("Krótki"));
        set_label_text(window.label, long_text + long_text);
        auto* box = place_label(&window, "Label2", long_text, 16, 48);
        arrange_when_shown(box, [box] { box->resize(17, 17); });
        window.show();
        QVERIFY(fits(window.label));
        QCOMPARE(window.label->text(), long_text + long_text);
        QCOMPARE(box->size(), QSize(17, 17));
    }

    void arrangements_run_in_order_and_skip_controls_gone_by_then() {
        QDialog window;
        std::vector<int> order;
        auto* first = new QLabel(&window);
        auto* gone = new QLabel(&window);
        auto* third = new QLabel(&window);
        arrange_when_shown(first, [&order] { order.push_back(1); });
        arrange_when_shown(gone, [&order] { order.push_back(2); });
        arrange_when_shown(third, [&order, third] {
            order.push_back(3);
            // Asked for while the window shows: done at once.
            set_label_text(third, long_text);
            order.push_back(fits(third) ? 4 : -4);
        });
        delete gone;
        QVERIFY(order.empty());
        window.show();
        QCOMPARE(order, (std::vector<int>{1, 3, 4}));
        window.hide();
        window.show();
        QCOMPARE(order.size(), std::size_t{3}); // only the first show runs them
    }

    void the_window_face_is_the_one_qt_picks_from_the_whole_list() {
        QWidget window;
        apply_form_font(&window);
        QFont whole_list;
        whole_list.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                                QStringLiteral("Helvetica")});
        whole_list.setStyleHint(QFont::SansSerif);
        whole_list.setPixelSize(13);
        const QFontInfo chosen(window.font());
        const QFontInfo expected(whole_list);
        QCOMPARE(chosen.family(), expected.family());
        QCOMPARE(chosen.styleName(), expected.styleName());
        QCOMPARE(chosen.pixelSize(), 13);
        QCOMPARE(window.fontMetrics().horizontalAdvance(long_text),
                 QFontMetrics(whole_list).horizontalAdvance(long_text));
    }

    void a_window_closed_unshown_takes_its_arrangements_along() {
        bool ran = false;
        {
            QDialog window;
            arrange_when_shown(new QLabel(&window), [&ran] { ran = true; });
        }
        QVERIFY(!ran);
    }
};

QTEST_MAIN(TestArrangeWhenShown)
#include "test_arrange_when_shown.moc"
