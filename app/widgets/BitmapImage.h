#pragma once

#include <QImage>

#include "raster/Bitmap.h"

namespace kestrava {

// A deep copy of the bitmap as a QImage, whatever its pixel format (8-bit pictures keep their
// colour table). An empty bitmap gives a null image.
QImage ToQImage(const TBitmap& bitmap);

// A 32-bit device bitmap with the image's colours; alpha is dropped. A null image gives an empty
// bitmap.
TBitmap FromQImage(const QImage& image);

}  // namespace kestrava
