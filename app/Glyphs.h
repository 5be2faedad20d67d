#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace kestrava {

// The wizard's stored pictures (":/kestrava/..."). A picture the program was built without
// gives an empty icon or pixmap: the controls then show their captions alone.
QIcon Glyph(const QString& name);                // ":/kestrava/glyphs/<name>.png"
QPixmap StoredPicture(const QString& fileName);  // ":/kestrava/<fileName>"

}  // namespace kestrava
