#include "windows/arrange_when_shown.h"

#include <QEvent>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <utility>
#include <vector>

namespace gnc {

namespace {

const QString pending_name = QStringLiteral("gnc-arrange-when-shown");
// Set on a window once it has been shown: arrangements then run at once.
const char* const shown_property = "gnc-shown";

// The arrangements waiting for one window: a child of the window that
// watches for the window's first show event. Qt sends it after the window's
// controls have been shown and before the window is mapped and drawn. (Not
// the window's polish: showing the main window polishes every window that
// belongs to it, hidden ones too.)
class PendingArrangements : public QObject {
  public:
    explicit PendingArrangements(QWidget* window) : QObject(window), window_(window) {
        setObjectName(pending_name);
        window->installEventFilter(this);
    }

    void add(QWidget* widget, std::function<void()> arrange) {
        if (!arrange) {
            for (const Arrangement& waiting : waiting_) {
                if (!waiting.arrange && waiting.widget == widget)
                    return;
            }
        }
        waiting_.push_back({widget, std::move(arrange)});
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) {
            window_->removeEventFilter(this);
            window_->setProperty(shown_property, true);
            run_all();
            deleteLater();
        }
        return false;
    }

  private:
    struct Arrangement {
        QPointer<QWidget> widget;
        std::function<void()> arrange; // empty: adjustSize
    };

    void run_all() {
        // The window now counts as shown, so an arrangement that asks for
        // another one has it run at once.
        std::vector<Arrangement> waiting = std::move(waiting_);
        waiting_.clear();
        for (const Arrangement& next : waiting) {
            if (next.widget.isNull())
                continue;
            if (next.arrange)
                next.arrange();
            else
                next.widget->adjustSize();
        }
    }

    QWidget* window_;
    std::vector<Arrangement> waiting_;
};

bool has_been_shown(const QWidget* window) {
    return window->isVisible() || window->property(shown_property).toBool();
}

PendingArrangements* pending_for(QWidget* window) {
    auto* pending = static_cast<PendingArrangements*>(
        window->findChild<QObject*>(pending_name, Qt::FindDirectChildrenOnly));
    if (pending == nullptr)
        pending = new PendingArrangements(window);
    return pending;
}

void arrange_or_wait(QWidget* widget, std::function<void()> arrange) {
    QWidget* window = widget->window();
    if (!has_been_shown(window)) {
        pending_for(window)->add(widget, std::move(arrange));
        return;
    }
    if (arrange)
        arrange();
    else
        widget->adjustSize();
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

} // namespace gnc
