#include "tests/support/modal_watcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

namespace gnc::test {

ModalWatcher::ModalWatcher() {
    timer_.setInterval(2);
    connect(&timer_, &QTimer::timeout, this, &ModalWatcher::poll);
    timer_.start();
}

ModalWatcher::~ModalWatcher() { timer_.stop(); }

QStringList ModalWatcher::texts() const {
    QStringList list;
    for (const auto& box : boxes_)
        list << box.text;
    return list;
}

void ModalWatcher::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        last_window_ = nullptr;
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        SeenBox seen{box->icon(), box->windowTitle(), box->text()};
        boxes_.push_back(seen);
        if (on_box)
            on_box(seen);
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->accept();
        return;
    }
    if (modal != last_window_) {
        last_window_ = modal;
        if (on_window)
            on_window(modal);
    }
}

bool wait_until(const std::function<bool()>& done, int timeout_ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout_ms)
            return false;
        QTest::qWait(5);
    }
    return true;
}

} // namespace gnc::test
