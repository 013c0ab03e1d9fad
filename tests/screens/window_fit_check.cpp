// Opens every window of the configurator on the screen it runs on, the way an
// installer reaches them (the road to programming: main window, connect,
// read, parameters, messages, programming; then the schematics, the about
// window and the link-lost notice), and checks each one as it appears:
//   - the window with its frame and title bar lies inside the screen's work
//     area (the screen without the taskbar);
//   - every control lies inside its window and inside its group;
//   - no label, check box, radio button or button cuts its text.
// Writes one line per window (outer size and position in device pixels,
// smallest font in device pixels) and one line per fault to REPORT_FILE.
//   window_fit_check SCREEN_NAME REPORT_FILE
// Exits with 0 when every window fits, 1 on a fault, 2 when the windows did
// not come up.

#include "app/app_windows.h"
#include "app/configurator.h"
#include "app/main_window.h"
#include "editors/messages_window.h"
#include "editors/parameters_window.h"
#include "windows/connect_window.h"
#include "windows/form_layout.h"
#include "windows/info_windows.h"
#include "windows/link_lost_notice.h"
#include "windows/main_state.h"
#include "windows/modal.h"
#include "windows/programming_window.h"
#include "windows/radio_group.h"
#include "windows/read_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace gnc;

namespace {

constexpr int give_up_ms = 60000;

// Where the platform reports no frame (an X server without a window
// manager), the window is given the title bar and borders that the layout
// counts in every outer size, in pixels at 120 per inch.
QMarginsF assumed_frame() {
    const double to_logical = 96.0 / 120.0;
    const double border = frame_extra_width / 2.0 * to_logical;
    return {border, (frame_extra_height - frame_extra_width / 2.0) * to_logical, border, border};
}

QString device(double logical, double ratio) {
    return QString::number(std::lround(logical * ratio));
}

QString device_rect(const QRectF& r, double ratio) {
    return QStringLiteral("%1x%2 at %3,%4")
        .arg(device(r.width(), ratio), device(r.height(), ratio), device(r.x(), ratio),
             device(r.y(), ratio));
}

class FitCheck {
  public:
    FitCheck(QString screen_name, QTextStream& report)
        : screen_name_(std::move(screen_name)), report_(report) {}

    void check_window(QWidget& window) {
        window_ = &window;
        ratio_ = window.devicePixelRatioF();
        smallest_font_ = 1e9;
        const int faults_before = faults_;
        const QRectF outer = outer_rect(window);
        check_in_work_area(outer);
        check_children(window);
        report_ << QStringLiteral("%1 %2 %3 outer %4 %5 font %6 px %7\n")
                       .arg(screen_name_, QString::number(ratio_, 'g', 3), window.objectName(),
                            device_rect(outer, ratio_), frame_note(outer, window.geometry()),
                            QString::number(smallest_font_, 'g', 3),
                            faults_ == faults_before ? QStringLiteral("fits")
                                                     : QStringLiteral("FAULT"));
        report_.flush();
    }

    // The screen as the program sees it, in device pixels.
    void report_screen(const QWidget& main) {
        const QScreen* screen = main.screen();
        const double ratio = screen->devicePixelRatio();
        report_ << QStringLiteral("%1 scale %2 screen %3 work area %4\n")
                       .arg(screen_name_, QString::number(ratio, 'g', 3),
                            device_rect(QRectF(screen->geometry()), ratio),
                            device_rect(QRectF(screen->availableGeometry()), ratio));
    }

    int faults() const { return faults_; }

  private:
    QRectF outer_rect(const QWidget& window) const {
        const QRectF client = window.geometry();
        const QRectF framed = window.frameGeometry();
        if (framed != client)
            return framed;
        // The window's position is that of its frame's corner.
        const QMarginsF frame = assumed_frame();
        return {client.topLeft(), client.size().grownBy(frame)};
    }

    // The frame's left, top, right and bottom widths in device pixels, and
    // whether the platform reported them.
    QString frame_note(const QRectF& outer, const QRectF& client) const {
        const bool reported = outer.topLeft() != client.topLeft();
        const QMarginsF frame =
            reported ? QMarginsF(client.left() - outer.left(), client.top() - outer.top(),
                                 outer.right() - client.right(), outer.bottom() - client.bottom())
                     : assumed_frame();
        return QStringLiteral("frame %1,%2,%3,%4 %5")
            .arg(device(frame.left(), ratio_), device(frame.top(), ratio_),
                 device(frame.right(), ratio_), device(frame.bottom(), ratio_),
                 reported ? QStringLiteral("reported") : QStringLiteral("assumed"));
    }

    void fault(const QString& what) {
        ++faults_;
        report_
            << QStringLiteral("  FAULT %1 %2: %3\n").arg(screen_name_, window_->objectName(), what);
    }

    QString name_of(const QWidget& widget) const {
        QString name = widget.objectName();
        if (name.isEmpty()) {
            // Items of a radio group are known by their group.
            name = QString::fromLatin1(widget.metaObject()->className());
            if (!widget.parentWidget()->objectName().isEmpty())
                name = widget.parentWidget()->objectName() + QLatin1Char(' ') + name;
        }
        if (const auto* group = qobject_cast<const QGroupBox*>(&widget))
            name += QStringLiteral(" \"%1\"").arg(group->title());
        else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
            name += QStringLiteral(" \"%1\"").arg(button->text());
        else if (const auto* label = qobject_cast<const QLabel*>(&widget))
            name += QStringLiteral(" \"%1\"").arg(label->text());
        return name;
    }

    void check_in_work_area(const QRectF& outer) {
        const QRectF work = window_->screen()->availableGeometry();
        if (work.contains(outer))
            return;
        fault(QStringLiteral("the window with its frame, %1, runs past the work area %2")
                  .arg(device_rect(outer, ratio_), device_rect(work, ratio_)));
    }

    // Controls of the window and of its groups and panels; the parts that
    // a combo box or an edit box is made of are theirs, not the window's.
    void check_children(const QWidget& parent) {
        for (QObject* object : parent.children()) {
            auto* widget = qobject_cast<QWidget*>(object);
            if (widget == nullptr || widget->isWindow() || !widget->isVisible())
                continue;
            check_inside(*widget, parent);
            check_text(*widget);
            note_font(*widget);
            if (is_container(*widget))
                check_children(*widget);
        }
    }

    static bool is_container(const QWidget& widget) {
        const QMetaObject* type = widget.metaObject();
        return qobject_cast<const QGroupBox*>(&widget) != nullptr ||
               type == &QWidget::staticMetaObject || type == &QFrame::staticMetaObject;
    }

    void check_inside(const QWidget& widget, const QWidget& parent) {
        if (parent.rect().contains(widget.geometry()))
            return;
        const QString where =
            &parent == window_
                ? QStringLiteral("its window (%1)").arg(device_rect(QRectF(parent.rect()), ratio_))
                : QStringLiteral("its group %1 (%2)")
                      .arg(name_of(parent), device_rect(QRectF(parent.rect()), ratio_));
        fault(QStringLiteral("%1 at %2 runs out of %3")
                  .arg(name_of(widget), device_rect(QRectF(widget.geometry()), ratio_), where));
    }

    void check_text(const QWidget& widget) {
        int needed = 0;
        int room = 0;
        if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
            if (label->text().isEmpty())
                return;
            const QRect contents = label->contentsRect();
            if (label->wordWrap()) {
                // A wrapped text is cut when its lines need more height.
                needed = label->heightForWidth(label->width());
                room = label->height();
                if (needed > room)
                    fault(QStringLiteral("%1 needs %2 px of height for its lines and has %3")
                              .arg(name_of(widget), device(needed, ratio_), device(room, ratio_)));
                return;
            }
            const int indent = std::max(label->indent(), 0);
            needed =
                label->fontMetrics().size(0, label->text()).width() + 2 * label->margin() + indent;
            room = contents.width();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
            // The picture buttons show no text.
            if (button->text().isEmpty() || qobject_cast<const QToolButton*>(button) != nullptr)
                return;
            needed = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
            room = text_room(*button);
        } else {
            return;
        }
        if (needed > room)
            fault(QStringLiteral("%1 cuts its text: it needs %2 px and has %3")
                      .arg(name_of(widget), device(needed, ratio_), device(room, ratio_)));
    }

    // The width the style leaves for a button's text: beside the indicator
    // of a check box or radio button, inside the bevel of a push button.
    static int text_room(const QAbstractButton& button) {
        QStyleOptionButton option;
        option.initFrom(&button);
        option.text = button.text();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(&button) != nullptr)
            contents = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<const QRadioButton*>(&button) != nullptr)
            contents = QStyle::SE_RadioButtonContents;
        const int icon = button.icon().isNull() ? 0 : button.iconSize().width() + 4;
        return button.style()->subElementRect(contents, &option, &button).width() - icon;
    }

    void note_font(const QWidget& widget) {
        const double pixels = QFontInfo(widget.font()).pixelSize() * ratio_;
        smallest_font_ = std::min(smallest_font_, pixels);
    }

    QString screen_name_;
    QTextStream& report_;
    QWidget* window_ = nullptr;
    double ratio_ = 1;
    double smallest_font_ = 0;
    int faults_ = 0;
};

bool in_front(QWidget& window, QWidget& main) {
    QWidget* modal = QApplication::activeModalWidget();
    const bool front = modal == &window || (modal == nullptr && &window == &main);
    return front && window.windowHandle() != nullptr && window.windowHandle()->isExposed();
}

// Runs `steps` once `window` is in front and mapped. A message box in front
// instead (a rule's complaint) is confirmed, as an installer would.
void when_in_front(QWidget& window, QWidget& main, const std::function<void()>& steps) {
    QTimer::singleShot(20, &main, [&window, &main, steps] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
        if (in_front(window, main))
            steps();
        else
            when_in_front(window, main, steps);
    });
}

// Checks `window` once it is in front, runs `further` (which may open more
// windows over it) and closes it again.
void visit(FitCheck& check, QWidget& window, QWidget& main, const std::function<void()>& open,
           const std::function<void()>& further = {}) {
    when_in_front(window, main, [&check, &window, further] {
        check.check_window(window);
        if (further)
            further();
        window.close();
    });
    open();
}

// The parameters window arms its rules once its controls have settled.
void wait_for_settling(const MainState& state) {
    QElapsedTimer clock;
    clock.start();
    while (state.parameter_rules_armed != 1 && clock.elapsed() < give_up_ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void walk_every_window(AppWindows& app, FitCheck& check) {
    Forms& forms = app.forms();
    TForm1& main = app.main_window();
    const auto show = [](TForm* window) { return [window] { show_modal(*window); }; };
    check.report_screen(main);
    check.check_window(main);
    visit(check, *forms.form6, main, show(forms.form6));
    visit(check, *forms.form4, main, show(forms.form4));
    visit(
        check, *forms.form2, main, [&] { main.SpeedButton6->click(); },
        [&] {
            wait_for_settling(*forms.state);
            // An operator chosen: the way on to the messages window.
            forms.form2->radiogroup6->item(0)->click();
            visit(
                check, *forms.form3, main, [&] { forms.form2->SpeedButton1->click(); },
                [&] { visit(check, *forms.form5, main, show(forms.form5)); });
        });
    visit(check, *forms.form7, main, [&] { main.SpeedButton3->click(); });
    visit(check, *forms.form8, main, [&] { main.SpeedButton8->click(); });
    visit(check, *forms.form10, main, [&] { main.SpeedButton4->click(); });
    // The notice ignores close requests: OK is its only way out.
    visit(check, *forms.form11, main, show(forms.form11), [&] { forms.form11->Button1->click(); });
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: window_fit_check SCREEN_NAME REPORT_FILE\n", stderr);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        std::fprintf(stderr, "window_fit_check: cannot write %s\n", argv[2]);
        return 2;
    }
    QTextStream report(&file);
    FitCheck check(QString::fromLocal8Bit(argv[1]), report);
    int qt_argc = 1;
    return run_configurator(qt_argc, argv, [&](AppWindows& app) {
        QTimer::singleShot(give_up_ms, [&report] {
            report << "the windows did not come up in time\n";
            report.flush();
            std::_Exit(2);
        });
        when_in_front(app.main_window(), app.main_window(), [&] {
            walk_every_window(app, check);
            QCoreApplication::exit(check.faults() == 0 ? 0 : 1);
        });
    });
}
