#include "tests/app/app_test_support.h"

#include "app/main_window.h"
#include "editors/messages_window.h"
#include "editors/parameters_window.h"
#include "windows/connect_window.h"
#include "windows/forms.h"
#include "windows/info_windows.h"
#include "windows/link_lost_notice.h"
#include "windows/programming_window.h"
#include "windows/read_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace gnc::test {

void later(std::function<void()> action, int delay_ms) {
    QTimer::singleShot(delay_ms, std::move(action));
}

void later(QObject* context, std::function<void()> action, int delay_ms) {
    QTimer::singleShot(delay_ms, context, std::move(action));
}

void write_phone_slot(std::uint8_t* image, std::size_t slot, const std::string& digits) {
    std::uint8_t check = 0xAA;
    for (std::size_t i = 0; i < 20; ++i)
        image[slot + i] = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        image[slot + i] = static_cast<std::uint8_t>(digits[i]);
        check ^= image[slot + i];
    }
    image[slot + 19] = check;
}

ImageBuffer image_with_user_number(const std::string& digits) {
    ImageBuffer image;
    image.fill(0xFF);
    write_phone_slot(image.data(), 20, digits); // user 1
    return image;
}

SafetyNet::SafetyNet(Forms& forms, int timeout_ms) : forms_(forms) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { close_all(); });
    timer_.start(timeout_ms);
}

void SafetyNet::close_all() {
    fired_ = true;
    if (forms_.form11->isVisible())
        forms_.form11->Button1->click();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != forms_.form1 && window->isVisible())
            window->close();
}

} // namespace gnc::test
