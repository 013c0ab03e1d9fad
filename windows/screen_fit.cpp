#include "windows/screen_fit.h"

#include "windows/arrange_when_shown.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QPointer>
#include <QProxyStyle>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace gnc {

namespace {

const QString fit_name = QStringLiteral("gnc-screen-fit");

// Title bar and borders assumed while no shown window tells its frame: a
// usual title bar at 100 %, with borders on every side.
constexpr QMargins assumed_frame(8, 31, 8, 8);

QMargins larger(const QMargins& a, const QMargins& b) {
    return QMargins(std::max(a.left(), b.left()), std::max(a.top(), b.top()),
                    std::max(a.right(), b.right()), std::max(a.bottom(), b.bottom()));
}

// The frame `window` has, or the largest one a shown window has: the
// windows share one kind of title bar.
QMargins frame_of(const QWidget* window) {
    QMargins frame;
    for (const QWindow* shown : QGuiApplication::topLevelWindows()) {
        if (shown->isVisible())
            frame = larger(frame, shown->frameMargins());
    }
    if (const QWindow* handle = window->windowHandle())
        frame = larger(frame, handle->frameMargins());
    return frame.isNull() ? assumed_frame : frame;
}

int scale_length(int length, double scale) {
    return static_cast<int>(std::lround(length * scale));
}

// A side of at least one pixel keeps its far edge: a line along a window's
// right or bottom edge stays inside the window.
QRect scale_rect(const QRect& rect, double scale) {
    const int right = scale_length(rect.left() + rect.width(), scale);
    const int bottom = scale_length(rect.top() + rect.height(), scale);
    int left = scale_length(rect.left(), scale);
    int top = scale_length(rect.top(), scale);
    if (rect.width() > 0)
        left = std::min(left, right - 1);
    if (rect.height() > 0)
        top = std::min(top, bottom - 1);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Check boxes' and radio buttons' boxes and the gaps beside them at the
// window's scale: the style gives them for its own texts, at 1:1, and the
// layouts leave them the room they had beside the layout's texts.
class ScaledIndicatorStyle : public QProxyStyle {
  public:
    explicit ScaledIndicatorStyle(const QString& base) : QProxyStyle(base) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int size = QProxyStyle::pixelMetric(metric, option, widget);
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing:
            return widget != nullptr ? scaled(widget, size) : size;
        default:
            return size;
        }
    }
};

QStyle* indicator_style() {
    static QPointer<QStyle> style;
    if (style.isNull()) {
        style = new ScaledIndicatorStyle(QApplication::style()->name());
        style->setParent(qApp);
    }
    return style;
}

bool has_indicator(const QWidget* widget) {
    return qobject_cast<const QCheckBox*>(widget) != nullptr ||
           qobject_cast<const QRadioButton*>(widget) != nullptr;
}

// A control's layout as the window's code made it, in layout pixels.
struct ControlLayout {
    QPointer<QWidget> widget;
    std::optional<QRect> geometry; // none: a layout places it
    // Never resized by the window's code: Qt sizes it to its contents when
    // it first shows, and so does the window when the fonts change.
    bool sized_by_contents = false;
    std::optional<QFont> font; // only a font set on the control itself
    std::optional<QSize> icon_size;
    std::optional<QMargins> margins; // of the control's own layout
    int spacing = 0;
};

bool placed_by_layout(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    return parent != nullptr && parent->layout() != nullptr &&
           parent->layout()->indexOf(const_cast<QWidget*>(widget)) >= 0;
}

ControlLayout layout_of(QWidget* widget) {
    ControlLayout control{widget, {}, false, {}, {}, {}, 0};
    if (!widget->isWindow() && !placed_by_layout(widget)) {
        control.geometry = widget->geometry();
        control.sized_by_contents = !widget->testAttribute(Qt::WA_Resized);
    }
    if (widget->testAttribute(Qt::WA_SetFont) && widget->font().pixelSize() > 0)
        control.font = widget->font();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        control.icon_size = button->iconSize();
    if (QLayout* layout = widget->layout()) {
        control.margins = layout->contentsMargins();
        control.spacing = layout->spacing();
    }
    return control;
}

// The window's own layout and its controls', taken when the window is first
// fitted, and the scale applied since. Lives as a child of the window.
class WindowFit : public QObject {
  public:
    explicit WindowFit(QWidget* window) : QObject(window), window_(window) {
        setObjectName(fit_name);
        fixed_size_ = window->minimumSize() == window->maximumSize()
                          ? std::optional<QSize>(window->minimumSize())
                          : std::nullopt;
        size_ = window->size();
        if (window->testAttribute(Qt::WA_Moved))
            position_ = window->pos();
        take_controls(window);
        window->installEventFilter(this);
    }

    double scale() const { return scale_; }

    void fit() {
        QScreen* screen = target_screen();
        const double dpr = screen != nullptr ? screen->devicePixelRatio() : 1.0;
        const double scale = scale_for(screen);
        if (scale != scale_ || dpr != dpr_) {
            dpr_ = dpr;
            apply(scale);
        }
        if (!placed_ && position_) {
            placed_ = true;
            place_on(screen);
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show)
            follow_screen_changes();
        return false;
    }

  private:
    void take_controls(QWidget* parent) {
        controls_.push_back(layout_of(parent));
        for (QObject* child : parent->children()) {
            auto* widget = qobject_cast<QWidget*>(child);
            if (widget != nullptr && !widget->isWindow())
                take_controls(widget);
        }
    }

    // Controls added after the window was fitted are taken as they come.
    void take_new_controls() {
        std::vector<QWidget*> known;
        for (const ControlLayout& control : controls_)
            known.push_back(control.widget.data());
        const QList<QWidget*> all = window_->findChildren<QWidget*>();
        for (QWidget* widget : all) {
            if (widget->window() == window_ &&
                std::find(known.begin(), known.end(), widget) == known.end())
                controls_.push_back(layout_of(widget));
        }
    }

    QScreen* target_screen() const {
        if (position_ && !placed_) {
            const QPoint centre = QRect(*position_, size_).center();
            if (QScreen* screen = QGuiApplication::screenAt(centre * layout_scale))
                return screen;
        }
        const QWidget* parent = window_->parentWidget();
        if (!window_->isVisible() && parent != nullptr && parent->window()->isVisible())
            return parent->window()->screen();
        return window_->screen();
    }

    // layout_scale, or less where the window with its frame would not fit
    // the screen's work area at that scale.
    double scale_for(const QScreen* screen) const {
        if (screen == nullptr)
            return layout_scale;
        const QRect area = screen->availableGeometry();
        const QMargins frame = frame_of(window_);
        const int room_width = area.width() - frame.left() - frame.right();
        const int room_height = area.height() - frame.top() - frame.bottom();
        double scale = layout_scale;
        scale = std::min(scale, double(room_width) / size_.width());
        scale = std::min(scale, double(room_height) / size_.height());
        // Rounding must not take the window past the room either.
        while (scale > 0.1 && (scale_length(size_.width(), scale) > room_width ||
                               scale_length(size_.height(), scale) > room_height))
            scale -= 0.001;
        return std::max(scale, 0.1);
    }

    void apply(double scale) {
        scale_ = scale;
        take_new_controls();
        if (fixed_size_)
            window_->setFixedSize(scale_length(fixed_size_->width(), scale),
                                  scale_length(fixed_size_->height(), scale));
        else
            window_->resize(scale_length(size_.width(), scale),
                            scale_length(size_.height(), scale));
        // The window's font first: its controls inherit it.
        for (const ControlLayout& control : controls_)
            apply_to(control, scale);
        // Controls sized to their texts measure them again in their new fonts.
        arrange_again(window_);
    }

    void apply_to(const ControlLayout& control, double scale) {
        QWidget* widget = control.widget.data();
        if (widget == nullptr)
            return;
        if (control.font) {
            QFont font = *control.font;
            const int smallest = static_cast<int>(std::ceil(smallest_font_device_pixels / dpr_));
            font.setPixelSize(std::max(scale_length(control.font->pixelSize(), scale), smallest));
            widget->setFont(font);
        }
        if (has_indicator(widget) && widget->style() != indicator_style())
            widget->setStyle(indicator_style());
        if (control.sized_by_contents) {
            widget->move(scale_rect(*control.geometry, scale).topLeft());
            widget->adjustSize();
        } else if (control.geometry) {
            widget->setGeometry(scale_rect(*control.geometry, scale));
        }
        if (control.icon_size)
            static_cast<QAbstractButton*>(widget)->setIconSize(
                QSize(scale_length(control.icon_size->width(), scale),
                      scale_length(control.icon_size->height(), scale)));
        if (control.margins) {
            const QMargins& m = *control.margins;
            widget->layout()->setContentsMargins(
                scale_length(m.left(), scale), scale_length(m.top(), scale),
                scale_length(m.right(), scale), scale_length(m.bottom(), scale));
            widget->layout()->setSpacing(scale_length(control.spacing, scale));
        }
    }

    // The layout's position mapped to the screen where the window fits there,
    // else the nearest position inside the work area.
    void place_on(const QScreen* screen) {
        if (screen == nullptr)
            return;
        const QRect area = screen->availableGeometry();
        const QMargins frame = frame_of(window_);
        const QSize outer = window_->size().grownBy(frame);
        QPoint spot = screen->geometry().topLeft() + *position_ * scale_;
        spot.setX(std::clamp(spot.x(), area.left(),
                             std::max(area.left(), area.right() + 1 - outer.width())));
        spot.setY(std::clamp(spot.y(), area.top(),
                             std::max(area.top(), area.bottom() + 1 - outer.height())));
        window_->move(spot);
    }

    void follow_screen_changes() {
        QWindow* handle = window_->windowHandle();
        if (handle == nullptr || following_)
            return;
        following_ = true;
        connect(handle, &QWindow::screenChanged, this, [this] { fit(); });
    }

    QWidget* window_;
    std::optional<QSize> fixed_size_;
    QSize size_;
    std::optional<QPoint> position_;
    bool placed_ = false;
    bool following_ = false;
    double scale_ = 0;
    double dpr_ = 0;
    std::vector<ControlLayout> controls_;
};

WindowFit* fit_of(const QWidget* widget) {
    // WindowFit has no meta-object of its own: found by its name.
    return static_cast<WindowFit*>(
        widget->window()->findChild<QObject*>(fit_name, Qt::FindDirectChildrenOnly));
}

} // namespace

void fit_to_screen(QWidget* window) {
    WindowFit* fit = fit_of(window);
    if (fit == nullptr)
        fit = new WindowFit(window);
    fit->fit();
}

double window_scale(const QWidget* widget) {
    const WindowFit* fit = fit_of(widget);
    return fit != nullptr && fit->scale() > 0 ? fit->scale() : 1.0;
}

int scaled(const QWidget* widget, int layout_pixels) {
    return scale_length(layout_pixels, window_scale(widget));
}

QPoint scaled(const QWidget* widget, QPoint layout_point) {
    return scale_rect(QRect(layout_point, QSize(0, 0)), window_scale(widget)).topLeft();
}

QRect scaled(const QWidget* widget, const QRect& layout_rect) {
    return scale_rect(layout_rect, window_scale(widget));
}

} // namespace gnc
