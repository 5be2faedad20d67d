#include "app/widgets/CheckListBox.h"

namespace kestrava {

namespace {

constexpr int kDataRole = Qt::UserRole;
// The tick as last reported, so that itemChanged for a text or number change is not news.
constexpr int kReportedCheckRole = Qt::UserRole + 1;

}  // namespace

TCheckListBox::TCheckListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemChanged, this, &TCheckListBox::OnItemChanged);
}

TCheckListBox::~TCheckListBox() {
  // The base class removes the entries as it goes; this part is gone by then.
  disconnect(this, &QListWidget::itemChanged, this, &TCheckListBox::OnItemChanged);
}

void TCheckListBox::AddEntry(const QString& text, int value) {
  auto* entry = new QListWidgetItem(text);
  entry->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  entry->setCheckState(Qt::Unchecked);
  entry->setData(kDataRole, value);
  entry->setData(kReportedCheckRole, int(Qt::Unchecked));
  addItem(entry);
}

int TCheckListBox::Data(int row) const {
  const QListWidgetItem* entry = item(row);
  return entry ? entry->data(kDataRole).toInt() : 0;
}

bool TCheckListBox::Checked(int row) const {
  const QListWidgetItem* entry = item(row);
  return entry && entry->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int row, bool checked) {
  if (QListWidgetItem* entry = item(row))
    entry->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

std::vector<int> TCheckListBox::CheckedData() const {
  std::vector<int> ticked;
  for (int row = 0; row < count(); ++row)
    if (Checked(row)) ticked.push_back(Data(row));
  return ticked;
}

void TCheckListBox::OnItemChanged(QListWidgetItem* entry) {
  const int state = int(entry->checkState());
  if (entry->data(kReportedCheckRole).toInt() == state) return;
  // Writing the role reports the item once more; the test above then finds nothing new.
  entry->setData(kReportedCheckRole, state);
  emit CheckToggled(row(entry));
}

}  // namespace kestrava
