#include "app/widgets/TextListBox.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetrics>
#include <QScrollBar>

namespace kestrava {

TTextListBox::TTextListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setMouseTracking(true);
  // Pixel steps: the range below is measured in pixels.
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // Every way entries come or go ends in one of these.
  connect(model(), &QAbstractItemModel::rowsInserted, this, [this] { ExtentChanged(); });
  connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] { ExtentChanged(); });
  connect(model(), &QAbstractItemModel::modelReset, this, [this] { ExtentChanged(); });
  connect(model(), &QAbstractItemModel::dataChanged, this, [this] { ExtentChanged(); });
}

TTextListBox::~TTextListBox() {
  // The base class empties the model as it goes, which would call into this part, gone by then.
  disconnect(model(), nullptr, this, nullptr);
}

QStringList TTextListBox::Items() const {
  QStringList items;
  items.reserve(count());
  for (int i = 0; i < count(); ++i)
    items.append(item(i)->text());
  return items;
}

void TTextListBox::AddItems(const QStringList& paths) {
  addItems(paths);
}

void TTextListBox::SetItems(const QStringList& paths) {
  clear();
  addItems(paths);
}

int TTextListBox::HorizontalExtent() const {
  if (extentDirty_) const_cast<TTextListBox*>(this)->RecalculateExtent();
  return extent_;
}

void TTextListBox::ExtentChanged() {
  // Measuring every entry after each change would make reversing a long list quadratic: the
  // changes of one pass are measured once, when the loop is back or someone asks.
  if (extentDirty_) return;
  extentDirty_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (extentDirty_) RecalculateExtent();
      },
      Qt::QueuedConnection);
}

void TTextListBox::RecalculateExtent() {
  extentDirty_ = false;
  const QFontMetrics metrics(font());
  int widest = 0;
  for (int i = 0; i < count(); ++i)
    widest = std::max(widest, metrics.horizontalAdvance(item(i)->text() + QStringLiteral("x")));
  extent_ = widest;
  ApplyExtent();
}

void TTextListBox::ApplyExtent() {
  QScrollBar* bar = horizontalScrollBar();
  const int page = viewport()->width();
  bar->setPageStep(page);
  bar->setSingleStep(std::max(1, QFontMetrics(font()).averageCharWidth()));
  bar->setRange(0, std::max(0, extent_ - page));
}

void TTextListBox::changeEvent(QEvent* event) {
  QListWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) ExtentChanged();
}

void TTextListBox::resizeEvent(QResizeEvent* event) {
  QListWidget::resizeEvent(event);
  ApplyExtent();
}

void TTextListBox::updateGeometries() {
  QListWidget::updateGeometries();
  if (extentDirty_)
    RecalculateExtent();
  else
    ApplyExtent();
}

}  // namespace kestrava
