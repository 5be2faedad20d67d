#include "app/Glyphs.h"

#include <QFile>

namespace kestrava {

QIcon Glyph(const QString& name) {
  const QString path = QStringLiteral(":/kestrava/glyphs/%1.png").arg(name);
  return QFile::exists(path) ? QIcon(path) : QIcon();
}

QPixmap StoredPicture(const QString& fileName) {
  const QString path = QStringLiteral(":/kestrava/%1").arg(fileName);
  return QFile::exists(path) ? QPixmap(path) : QPixmap();
}

}  // namespace kestrava
