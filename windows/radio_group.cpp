#include "windows/radio_group.h"

#include <QRadioButton>
#include <QVBoxLayout>

namespace gnc {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(0);
    group_.setExclusive(true);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_.addButton(button, i);
        layout->addWidget(button);
    }
    connect(&group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit itemClicked(id);
    });
}

void RadioGroup::setItemIndex(int index) {
    if (QRadioButton* button = item(index))
        button->setChecked(true);
}

QRadioButton* RadioGroup::item(int index) const {
    return qobject_cast<QRadioButton*>(group_.button(index));
}

int RadioGroup::count() const { return static_cast<int>(group_.buttons().size()); }

} // namespace gnc
