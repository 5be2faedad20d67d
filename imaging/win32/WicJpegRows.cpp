// JPEG rows on Windows, decoded by the Windows Imaging Component: the saver program carries no
// JPEG library of its own. WIC hands out the rows as blue, green, red like libjpeg does on Linux;
// the two decoders' inverse DCTs differ by a few levels in places.
#include <wincodec.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "imaging/JpegRows.h"
#include "raster/Bitmap.h"

namespace kestrava {

namespace {

// Owns one reference to a COM object.
template <typename T>
class TComPtr {
 public:
  TComPtr() = default;
  ~TComPtr() { Reset(); }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T** Out() {
    Reset();
    return &p_;
  }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

std::string Failed(const char* what, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  return std::string("JPEG: ") + what + " failed (" + code + ")";
}

void Check(HRESULT result, const char* what) {
  if (FAILED(result)) throw EJpegError(Failed(what, result));
}

// Rows are copied out of WIC a band at a time: one call per row costs more than the copy.
constexpr int kBandRows = 16;

}  // namespace

struct TJpegRowReader::TState {
  // COM on this thread for as long as the reader lives; pictures are decoded on worker threads.
  bool uninitialize = false;
  TComPtr<IWICImagingFactory> factory;
  TComPtr<IWICStream> stream;
  TComPtr<IWICBitmapDecoder> decoder;
  TComPtr<IWICBitmapFrameDecode> frame;
  TComPtr<IWICBitmapScaler> scaler;
  TComPtr<IWICFormatConverter> converter;
  std::vector<uint8_t> band;
  int bandTop = 0, bandRows = 0, nextRow = 0;

  ~TState() {
    converter.Reset();
    scaler.Reset();
    frame.Reset();
    decoder.Reset();
    stream.Reset();
    factory.Reset();
    if (uninitialize) ::CoUninitialize();
  }
};

TJpegRowReader::TJpegRowReader(std::span<const uint8_t> bytes, int64_t maxPixels, TDamage)
    : state_(new TState()) {
  TState& s = *state_;
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  s.uninitialize = SUCCEEDED(com);
  if (bytes.empty() || bytes.size() > 0xFFFFFFFFu) throw EJpegError("JPEG: no picture data");
  Check(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, reinterpret_cast<void**>(s.factory.Out())),
        "starting the imaging component");
  Check(s.factory->CreateStream(s.stream.Out()), "making a stream");
  // WIC only reads from the memory it is given.
  Check(s.stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), DWORD(bytes.size())),
        "reading the data");
  Check(s.factory->CreateDecoder(GUID_ContainerFormatJpeg, nullptr, s.decoder.Out()),
        "making a JPEG decoder");
  Check(s.decoder->Initialize(s.stream.Get(), WICDecodeMetadataCacheOnDemand),
        "reading the JPEG header");
  Check(s.decoder->GetFrame(0, s.frame.Out()), "reading the JPEG frame");
  UINT width = 0, height = 0;
  Check(s.frame->GetSize(&width, &height), "reading the picture size");
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width == 0 || height == 0) throw EJpegError("JPEG picture " + size + " is empty");
  if (width > UINT(TBitmap::kMaxDimension) || height > UINT(TBitmap::kMaxDimension) ||
      int64_t{width} * height > std::min(maxPixels, TBitmap::kMaxPixels))
    throw EJpegError("JPEG picture " + size + " is too large");
  width_ = fullWidth_ = int(width);
  height_ = fullHeight_ = int(height);
}

TJpegRowReader::~TJpegRowReader() = default;

void TJpegRowReader::ScaleDown(int denominator) {
  if (started_ || (denominator != 2 && denominator != 4 && denominator != 8))
    throw std::logic_error("a JPEG is scaled by 1/2, 1/4 or 1/8 before its first row");
  TState& s = *state_;
  width_ = (fullWidth_ + denominator - 1) / denominator;
  height_ = (fullHeight_ + denominator - 1) / denominator;
  Check(s.factory->CreateBitmapScaler(s.scaler.Out()), "making a scaler");
  Check(s.scaler->Initialize(s.frame.Get(), UINT(width_), UINT(height_),
                             WICBitmapInterpolationModeFant),
        "scaling the picture");
}

bool TJpegRowReader::DataEnded() const {
  // WIC does not fill in missing data: a picture that ends early fails to decode instead.
  return false;
}

void TJpegRowReader::ReadRow(uint8_t* row) {
  TState& s = *state_;
  if (!started_) {
    Check(s.factory->CreateFormatConverter(s.converter.Out()), "making a converter");
    IWICBitmapSource* source = s.scaler.Get() ? static_cast<IWICBitmapSource*>(s.scaler.Get())
                                              : static_cast<IWICBitmapSource*>(s.frame.Get());
    Check(s.converter->Initialize(source, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                  nullptr, 0.0, WICBitmapPaletteTypeCustom),
          "converting the colours");
    started_ = true;
  }
  if (s.nextRow >= height_) throw EJpegError("JPEG: no rows left to read");
  const size_t stride = size_t(width_) * 3;
  if (s.nextRow >= s.bandTop + s.bandRows) {
    s.bandTop = s.nextRow;
    s.bandRows = std::min(kBandRows, height_ - s.bandTop);
    s.band.resize(stride * size_t(s.bandRows));
    const WICRect rect{0, s.bandTop, width_, s.bandRows};
    Check(s.converter->CopyPixels(&rect, UINT(stride), UINT(s.band.size()), s.band.data()),
          "decoding the picture");
  }
  std::memcpy(row, s.band.data() + size_t(s.nextRow - s.bandTop) * stride, stride);
  ++s.nextRow;
}

const uint8_t* TJpegRowReader::NextRow() {
  row_.resize(size_t(width_) * 3);
  ReadRow(row_.data());
  return row_.data();
}

}  // namespace kestrava
