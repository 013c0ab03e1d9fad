#include "windows/modal.h"

#include "windows/screen_fit.h"
#include "windows/window_base.h"

#include <QKeyEvent>
#include <QMessageBox>

#include <vector>

namespace gnc {

namespace {

// One entry per open modal layer, bottom first. A message box or a file
// dialog is a layer without FormEvents: nothing behind it is reactivated
// until it closes.
struct Layer {
    QWidget* widget = nullptr;
    FormEvents* events = nullptr;
    int id = 0;
};

std::vector<Layer>& layers() {
    static std::vector<Layer> stack;
    return stack;
}

Layer main_layer;
int last_layer_id = 0;

Layer top_layer() {
    return layers().empty() ? main_layer : layers().back();
}

int push_layer(QWidget* widget, FormEvents* events) {
    layers().push_back({widget, events, ++last_layer_id});
    return last_layer_id;
}

// Layers unwind last in, first out, but a layer may have been closed from
// above (the link-lost notice closes the windows under it), so remove by id.
void pop_layer(int id) {
    auto& stack = layers();
    for (auto it = stack.begin(); it != stack.end(); ++it) {
        if (it->id == id) {
            stack.erase(it);
            return;
        }
    }
}

bool still_open(const Layer& layer) {
    if (layer.events == nullptr)
        return false;
    if (layer.widget == main_layer.widget)
        return true;
    return layer.widget != nullptr && layer.widget->isVisible();
}

void deactivate(const Layer& layer) {
    if (layer.events != nullptr)
        layer.events->FormDeactivate();
}

void reactivate(const Layer& layer) {
    if (still_open(layer))
        layer.events->FormActivate();
}

void show_box(QMessageBox::Icon icon, const char* title, const QString& text) {
    run_modal_layer([&](QWidget* parent) {
        QMessageBox box(icon, QString::fromUtf8(title), text, QMessageBox::Ok, parent);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    });
}

} // namespace

TForm::TForm(QWidget* parent) : QDialog(parent) {}

void TForm::setVisible(bool visible) {
    if (visible)
        fit_to_screen(this);
    QDialog::setVisible(visible);
}

void TForm::keyPressEvent(QKeyEvent* event) {
    if (escape_ignored_ && event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void set_main_form(QWidget* widget, FormEvents* events) {
    main_layer = {widget, events, 0};
}

int show_modal(TForm& form) {
    if (form.isVisible())
        return QDialog::Rejected;
    const Layer covered = top_layer();
    deactivate(covered);
    const int id = push_layer(&form, &form);
    form.setWindowModality(Qt::ApplicationModal);
    form.setResult(QDialog::Rejected);
    form.show();
    form.FormActivate();
    int result = form.result();
    if (form.isVisible())
        result = form.exec();
    form.FormDeactivate();
    pop_layer(id);
    reactivate(covered);
    return result;
}

void run_modal_layer(const std::function<void(QWidget* parent)>& show) {
    const Layer covered = top_layer();
    QWidget* parent = front_window();
    deactivate(covered);
    const int id = push_layer(nullptr, nullptr);
    show(parent);
    pop_layer(id);
    reactivate(covered);
}

void show_error_box(const QString& text) {
    show_box(QMessageBox::Critical, error_box_title, text);
}

void show_plain_box(const QString& text) {
    show_box(QMessageBox::NoIcon, application_title, text);
}

QWidget* front_window() {
    for (auto it = layers().rbegin(); it != layers().rend(); ++it)
        if (it->widget != nullptr)
            return it->widget;
    return main_layer.widget;
}

} // namespace gnc
