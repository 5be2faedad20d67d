#pragma once

#include <vector>

#include <QListWidget>
#include <QString>

namespace kestrava {

// A list with a check box before every entry and a number attached to each (the effects page
// attaches the effect number). Ticks toggle by clicking the entry's check box and by the space
// bar on the current entry, Qt's own means for checkable items.
class TCheckListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit TCheckListBox(QWidget* parent = nullptr);
  ~TCheckListBox() override;

  void AddEntry(const QString& text, int value);
  int Data(int row) const;
  bool Checked(int row) const;
  void SetChecked(int row, bool checked);
  // The numbers of the ticked entries, in list order.
  std::vector<int> CheckedData() const;

 signals:
  // A row's tick changed, by the user or by SetChecked.
  void CheckToggled(int row);

 private:
  void OnItemChanged(QListWidgetItem* item);
};

}  // namespace kestrava
