#pragma once
// A picture control: shows a picture from its top-left corner, scaled down
// with its proportions kept to fit the control, never enlarged. When
// transparent, the picture's background colour (that of its bottom-left
// pixel) lets the window show through. A picture can also be given by the
// function that makes it: it is then made when first needed, so that a
// window that is never opened never decodes its picture.

#include <QImage>
#include <QWidget>

#include <functional>

namespace gnc {

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    void set_picture(const QImage& picture, bool transparent = false);
    void set_picture_source(std::function<QImage()> source, bool transparent = false);
    const QImage& picture() const;
    // Where the picture is drawn inside the control (empty: nothing shown).
    QRect picture_rect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    static QImage prepared(const QImage& picture, bool transparent);

    // Made on first use from source_, when one is set.
    mutable QImage picture_;
    mutable std::function<QImage()> source_;
    bool transparent_ = false;
};

// Pixels close to the colour of the bottom-left pixel become transparent
// (JPEG noise makes an exact colour key leave speckles).
QImage with_transparent_background(const QImage& picture);

} // namespace gnc
