#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QList>
#include <QRadioButton>
#include <QStringList>

namespace kestrava {

// A captioned group of radio buttons with one item index, laid out in columns (filled column by
// column). Click is raised whenever the index changes to an item, by the user or by code; a
// click on the item already selected raises nothing, nor does a change to no item (-1).
class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  TRadioGroup(const QString& caption, const QStringList& items, int columns,
              QWidget* parent = nullptr);

  int ItemIndex() const { return index_; }
  // Kept within -1 .. count - 1: smaller values select nothing, larger ones the last item.
  void SetItemIndex(int index);
  int Count() const { return int(buttons_.size()); }
  QRadioButton* Button(int index) const { return buttons_.at(index); }

 signals:
  void Click();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnToggled(int id, bool checked);
  void PlaceButtons();

  QButtonGroup group_;
  QList<QRadioButton*> buttons_;
  int columns_;
  int index_ = -1;
};

}  // namespace kestrava
