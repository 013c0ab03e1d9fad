#include "resources/resource_paths.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <iterator>
#include <map>
#include <utility>

namespace gnc::pictures {

QPixmap read_picture(const QString& path) {
    // Every embedded picture is a PNG, which Qt reads itself. Without the
    // format given (and guessing turned off) Qt would first load each of its
    // image format plugins to ask whether it knows the file.
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon picture_icon(const QString& path) {
    return QIcon(read_picture(path));
}

namespace {

// Hands every request on to the drawing of `path_` that suits the size asked
// for: the smallest one at least that large, else the largest. Each drawing
// is read at its first request.
class SizedPictureIcon : public QIconEngine {
  public:
    SizedPictureIcon(QString path, QList<int> sizes)
        : path_(std::move(path)), sizes_(std::move(sizes)) {
        std::sort(sizes_.begin(), sizes_.end());
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatio() : 1.0;
        drawing_for(rect.size() * ratio).paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        // Square drawings up to the largest size.
        const int side = std::min({size.width(), size.height(), sizes_.last()});
        return QSize(side, side);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return drawing_for(size).pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return drawing_for(size * scale).pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int side : sizes_)
            sizes.append(QSize(side, side));
        return sizes;
    }
    // The embedded pictures are always there: asking need not read them.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("SizedPictureIcon"); }
    QIconEngine* clone() const override { return new SizedPictureIcon(*this); }

  private:
    QIcon& drawing_for(const QSize& device_size) {
        const int wanted = std::max(device_size.width(), device_size.height());
        const auto fitting = std::lower_bound(sizes_.begin(), sizes_.end(), wanted);
        const int side = fitting != sizes_.end() ? *fitting : sizes_.last();
        QIcon& drawing = drawings_[side];
        if (drawing.isNull())
            drawing = picture_icon(side == base_size ? path_ : sized_picture(path_, side));
        return drawing;
    }

    static constexpr int base_size = 32;
    QString path_;
    QList<int> sizes_;
    std::map<int, QIcon> drawings_;
};

QList<int> with_base_size(const int* sizes, std::size_t count) {
    QList<int> all{32};
    for (std::size_t i = 0; i < count; ++i)
        all.append(sizes[i]);
    return all;
}

} // namespace

QIcon application_icon() {
    static const QIcon icon(new SizedPictureIcon(
        QString::fromLatin1(window_icon),
        with_base_size(std::data(window_icon_sizes), std::size(window_icon_sizes))));
    return icon;
}

QIcon icon_read_when_drawn(const char* path) {
    return QIcon(new SizedPictureIcon(
        QString::fromLatin1(path),
        with_base_size(std::data(button_picture_sizes), std::size(button_picture_sizes))));
}

} // namespace gnc::pictures
