#include "app/RadioGroup.h"

#include <algorithm>

#include <QStyle>
#include <QStyleOptionGroupBox>

namespace kestrava {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent), columns_(std::max(1, columns)) {
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    group_.addButton(button, i);
    buttons_.append(button);
  }
  connect(&group_, &QButtonGroup::idToggled, this, &TRadioGroup::OnToggled);
  PlaceButtons();
}

void TRadioGroup::SetItemIndex(int index) {
  index = std::clamp(index, -1, Count() - 1);
  if (index == index_) return;
  if (index >= 0) {
    buttons_[index]->setChecked(true);  // raises Click through OnToggled
    return;
  }
  // An exclusive group never lets its last button go: switch that off for a moment.
  group_.setExclusive(false);
  buttons_[index_]->setChecked(false);
  group_.setExclusive(true);
  index_ = -1;
}

void TRadioGroup::OnToggled(int id, bool checked) {
  if (!checked || id == index_) return;
  index_ = id;
  emit Click();
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  PlaceButtons();
}

// Items share the room below the caption evenly, as rows of equal height in equal columns.
void TRadioGroup::PlaceButtons() {
  if (buttons_.isEmpty()) return;
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  const QRect inner =
      style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this);
  const int rows = (Count() + columns_ - 1) / columns_;
  const int left = inner.left() + 6;
  const int columnWidth = (inner.width() - 6) / columns_;
  const int rowHeight = std::max(1, inner.height() / rows);
  for (int i = 0; i < Count(); ++i) {
    const int column = i / rows;
    const int row = i % rows;
    QRadioButton* button = buttons_[i];
    const int height = std::min(rowHeight, button->sizeHint().height());
    button->setGeometry(left + column * columnWidth,
                        inner.top() + row * rowHeight + (rowHeight - height) / 2, columnWidth - 2,
                        height);
  }
}

}  // namespace kestrava
