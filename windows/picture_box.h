#pragma once
// A picture control: shows a picture from its top-left corner, scaled down
// with its proportions kept to fit the control, never enlarged. When
// transparent, the picture's background colour (that of its bottom-left
// pixel) lets the window show through.

#include <QImage>
#include <QWidget>

namespace gnc {

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    void set_picture(const QImage& picture, bool transparent = false);
    const QImage& picture() const { return picture_; }
    // Where the picture is drawn inside the control (empty: nothing shown).
    QRect picture_rect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};

// Pixels close to the colour of the bottom-left pixel become transparent
// (JPEG noise makes an exact colour key leave speckles).
QImage with_transparent_background(const QImage& picture);

} // namespace gnc
