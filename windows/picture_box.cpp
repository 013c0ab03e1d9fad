#include "windows/picture_box.h"

#include "windows/jpeg_image.h"

#include <QPainter>

#include <cstdlib>
#include <utility>

namespace gnc {

namespace {

constexpr int background_tolerance = 24;

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
               std::abs(qBlue(a) - qBlue(b)) <=
           background_tolerance;
}

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::set_picture(const QImage& picture, bool transparent) {
    source_ = nullptr;
    picture_ = prepared(picture, transparent);
    update();
}

void PictureBox::set_picture_source(std::function<QImage()> source, bool transparent) {
    source_ = std::move(source);
    transparent_ = transparent;
    picture_ = QImage();
    update();
}

const QImage& PictureBox::picture() const {
    if (source_) {
        const std::function<QImage()> source = std::move(source_);
        source_ = nullptr;
        picture_ = prepared(source(), transparent_);
    }
    return picture_;
}

QImage PictureBox::prepared(const QImage& picture, bool transparent) {
    return transparent && !picture.isNull() ? with_transparent_background(picture) : picture;
}

QRect PictureBox::picture_rect() const {
    if (picture().isNull())
        return {};
    return QRect(QPoint(0, 0), fitted_size(picture_.size(), size()));
}

void PictureBox::paintEvent(QPaintEvent*) {
    const QRect target = picture_rect();
    if (target.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture());
}

QImage with_transparent_background(const QImage& picture) {
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = result.pixel(0, result.height() - 1);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if (near(line[x], key))
                line[x] = qRgba(0, 0, 0, 0);
    }
    return result;
}

} // namespace gnc
