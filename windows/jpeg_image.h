#pragma once
// JPEG pictures decoded with libjpeg directly. A damaged or truncated file
// gives a null image; it never ends the program (libjpeg's own error
// handler would call exit()).

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace gnc {

QImage decode_jpeg(const QByteArray& data);

// The largest size of `picture` that fits `box` with its proportions kept;
// a picture that already fits keeps its own size (never enlarged).
QSize fitted_size(QSize picture, QSize box);

} // namespace gnc
