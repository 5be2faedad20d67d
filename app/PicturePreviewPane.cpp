#include "app/PicturePreviewPane.h"

#include <QFileInfo>
#include <QImageReader>

namespace kestrava {

namespace {

constexpr QSize kPaneSize(180, 150);
// Files larger than this are not decoded just for a glance.
constexpr qint64 kLargestPreviewedFile = 64LL * 1024 * 1024;

}  // namespace

TPicturePreviewPane::TPicturePreviewPane(QWidget* parent) : QLabel(parent) {
  setFixedSize(kPaneSize);
  setAlignment(Qt::AlignCenter);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void TPicturePreviewPane::ShowFile(const QString& path) {
  clear();
  const QFileInfo info(path);
  if (!info.isFile() || info.size() > kLargestPreviewedFile) return;
  QImageReader reader(path);
  reader.setAutoTransform(true);
  const QSize size = reader.size();
  if (size.isValid())
    reader.setScaledSize(size.scaled(kPaneSize - QSize(4, 4), Qt::KeepAspectRatio));
  const QImage image = reader.read();
  if (!image.isNull()) setPixmap(QPixmap::fromImage(image));
}

}  // namespace kestrava
