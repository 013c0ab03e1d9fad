#include "resources/resource_paths.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPainter>

#include <optional>
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

// Hands every request on to the icon read from `path_`, which it reads at
// the first request.
class IconReadWhenDrawn : public QIconEngine {
  public:
    explicit IconReadWhenDrawn(QString path) : path_(std::move(path)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    // The embedded pictures are always there: asking need not read them.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("IconReadWhenDrawn"); }
    QIconEngine* clone() const override { return new IconReadWhenDrawn(*this); }

  private:
    QIcon& icon() {
        if (!icon_)
            icon_.emplace(picture_icon(path_));
        return *icon_;
    }

    QString path_;
    std::optional<QIcon> icon_;
};

QIcon read_application_icon() {
    QIcon icon;
    icon.addPixmap(read_picture(QString::fromLatin1(window_icon)));
    icon.addPixmap(read_picture(QString::fromLatin1(window_icon_large)));
    return icon;
}

} // namespace

QIcon application_icon() {
    static const QIcon icon = read_application_icon();
    return icon;
}

QIcon icon_read_when_drawn(const char* path) {
    return QIcon(new IconReadWhenDrawn(QString::fromLatin1(path)));
}

} // namespace gnc::pictures
