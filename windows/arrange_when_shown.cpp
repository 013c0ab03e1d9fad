#include "windows/arrange_when_shown.h"

#include <QEvent>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <utility>
#include <vector>

namespace gnc {

namespace {

const QString arrangements_name = QStringLiteral("gnc-arrange-when-shown");
// Set on a window once it has been shown: arrangements then run at once.
const char* const shown_property = "gnc-shown";

bool has_been_shown(const QWidget* window) {
    return window->isVisible() || window->property(shown_property).toBool();
}

// The arrangements of one window: a child of the window that watches for
// the window's first show event. Qt sends it after the window's controls
// have been shown and before the window is mapped and drawn. (Not the
// window's polish: showing the main window polishes every window that
// belongs to it, hidden ones too.) They are kept after they ran, to be run
// again when the window's fonts change.
class Arrangements : public QObject {
  public:
    explicit Arrangements(QWidget* window) : QObject(window), window_(window) {
        setObjectName(arrangements_name);
        if (!has_been_shown(window))
            window->installEventFilter(this);
    }

    // Adds `arrange` (empty: adjustSize); runs it at once when `run_now`.
    void add(QWidget* widget, std::function<void()> arrange, bool run_now) {
        if (!arrange && is_fitted(widget)) {
            if (run_now)
                widget->adjustSize();
            return;
        }
        waiting_.push_back({widget, std::move(arrange)});
        if (run_now)
            run(waiting_.back());
    }

    void run_all() {
        // Copied: an arrangement may ask for another one.
        const std::vector<Arrangement> all = waiting_;
        for (const Arrangement& next : all)
            run(next);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) {
            window_->removeEventFilter(this);
            // The window now counts as shown, so an arrangement that asks
            // for another one has it run at once.
            window_->setProperty(shown_property, true);
            run_all();
        }
        return false;
    }

  private:
    struct Arrangement {
        QPointer<QWidget> widget;
        std::function<void()> arrange; // empty: adjustSize
    };

    bool is_fitted(const QWidget* widget) const {
        for (const Arrangement& waiting : waiting_) {
            if (!waiting.arrange && waiting.widget == widget)
                return true;
        }
        return false;
    }

    static void run(const Arrangement& next) {
        if (next.widget.isNull())
            return;
        if (next.arrange)
            next.arrange();
        else
            next.widget->adjustSize();
    }

    QWidget* window_;
    std::vector<Arrangement> waiting_;
};

Arrangements* arrangements_of(QWidget* window) {
    return static_cast<Arrangements*>(
        window->findChild<QObject*>(arrangements_name, Qt::FindDirectChildrenOnly));
}

void arrange_or_wait(QWidget* widget, std::function<void()> arrange) {
    QWidget* window = widget->window();
    Arrangements* arrangements = arrangements_of(window);
    if (arrangements == nullptr)
        arrangements = new Arrangements(window);
    arrangements->add(widget, std::move(arrange), has_been_shown(window));
}

} // namespace

void arrange_when_shown(QWidget* widget, std::function<void()> arrange) {
    if (!arrange)
        return;
    arrange_or_wait(widget, std::move(arrange));
}

void fit_when_shown(QWidget* widget) {
    arrange_or_wait(widget, {});
}

void arrange_again(QWidget* window) {
    Arrangements* arrangements = arrangements_of(window);
    if (arrangements != nullptr && has_been_shown(window))
        arrangements->run_all();
}

} // namespace gnc
