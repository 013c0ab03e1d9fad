#pragma once
// A framed group of radio buttons with an item index, like the radio groups
// of the forms: no item is checked when created (ItemIndex() == -1).
// `itemClicked(index)` is emitted whenever an item becomes checked, by the
// user or by setItemIndex, and never when the group is set to the item it
// already has.

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class QRadioButton;

namespace gnc {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const { return group_.checkedId(); }
    void setItemIndex(int index);
    QRadioButton* item(int index) const;
    int count() const;

signals:
    void itemClicked(int index);

private:
    QButtonGroup group_;
};

} // namespace gnc
