#pragma once

#include <QObject>

class QListWidget;
class QWidget;

namespace kestrava {

// A list's click as the wizard's handlers expect it: raised by a mouse click on an entry (also
// on the entry already selected, once per click, not again for the second press of a double
// click) and by a change of the selection with the keyboard; a selection set by code, with the
// list's signals blocked, raises nothing.
class TListClickRelay : public QObject {
  Q_OBJECT

 public:
  explicit TListClickRelay(QListWidget& list);

 signals:
  void Clicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnCurrentRowChanged();

  QListWidget& list_;
  // Kept apart from the list: events still reach it while the list is being destroyed.
  QWidget* viewport_;
  bool pressed_ = false;
  bool changedWhilePressed_ = false;
};

}  // namespace kestrava
