// kestrava-decode IN.jpg OUT.bmp: a JPEG decoded the way the Windows saver decodes its pictures,
// for measuring that decoder against the Linux one.
#include <cstdio>
#include <exception>
#include <string>

#include "imaging/BmpWriter.h"
#include "imaging/FileBytes.h"
#include "imaging/JpegRows.h"
#include "raster/Bitmap.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kestrava-decode IN.jpg OUT.bmp\n");
    return 2;
  }
  try {
    const std::vector<uint8_t> bytes = kestrava::ReadFileBytes(argv[1]);
    kestrava::TJpegRowReader reader(bytes, kestrava::TBitmap::kMaxPixels);
    kestrava::TBitmap picture(reader.Width(), reader.Height(), kestrava::TPixelFormat::pf24bit);
    for (int y = 0; y < reader.Height(); ++y)
      reader.ReadRow(picture.ScanLine(y));
    kestrava::WriteBmpFile(argv[2], picture, 24);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-decode: %s\n", e.what());
    return 1;
  }
  return 0;
}
