#include "app/AppMessageFilter.h"

#include <QEvent>
#include <QMouseEvent>

namespace kestrava {

AppMessageFilter::AppMessageFilter(QWidget& swfPreview, QObject* parent)
    : QObject(parent), swfPreview_(&swfPreview) {}

bool AppMessageFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress || !swfPreview_) return false;
  if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton) return false;
  auto* target = qobject_cast<QWidget*>(watched);
  // The preview's own children belong to its window as well.
  return target && (target == swfPreview_ || swfPreview_->isAncestorOf(target));
}

}  // namespace kestrava
