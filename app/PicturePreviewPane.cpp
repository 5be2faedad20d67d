#include "app/PicturePreviewPane.h"

#include <QFileInfo>
#include <QImageReader>
#include <exception>

#include "app/widgets/BitmapImage.h"
#include "imaging/PictureLoader.h"

namespace kestrava {

namespace {

constexpr QSize kPaneSize(180, 150);
// Files larger than this are not decoded just for a glance.
constexpr qint64 kLargestPreviewedFile = 64LL * 1024 * 1024;

// Kinds Qt has no reader for here (WebP, HEIC without its image plugins) through our own
// readers; a file neither reads shows nothing.
QImage ThroughOurReaders(const QString& path) {
  try {
    return ToQImage(LoadPicture(path.toStdString()));
  } catch (const std::exception&) {
    return {};
  }
}

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
  QImage image = reader.read();
  if (image.isNull()) {
    image = ThroughOurReaders(path);
    if (!image.isNull()) image = image.scaled(kPaneSize - QSize(4, 4), Qt::KeepAspectRatio);
  }
  if (!image.isNull()) setPixmap(QPixmap::fromImage(image));
}

}  // namespace kestrava
