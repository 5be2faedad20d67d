#include "runtime/win32/MciMusic.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

#include <algorithm>
#include <utility>

namespace kestrava {

namespace {

constexpr const wchar_t* kAlias = L"kestrava_music";

struct TDevice {
  const wchar_t* Type;
  const wchar_t* Ending;
};

TDevice DeviceOf(uint8_t code) {
  switch (code) {
    case '0':
      return {L"sequencer", L".mid"};
    case '2':
      return {L"waveaudio", L".wav"};
    default:
      return {L"mpegvideo", L".mp3"};
  }
}

bool Mci(const std::wstring& command, std::wstring* answer = nullptr) {
  wchar_t text[128] = {};
  const MCIERROR error = mciSendStringW(command.c_str(), text, 128, nullptr);
  if (answer) *answer = text;
  return error == 0;
}

bool WriteWhole(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD piece = DWORD(std::min<size_t>(bytes.size() - done, 1 << 20));
    ok = WriteFile(file, bytes.data() + done, piece, &wrote, nullptr) && wrote == piece;
    done += wrote;
  }
  CloseHandle(file);
  return ok;
}

}  // namespace

TMciMusic::TMciMusic(std::vector<TMusicBlock> blocks) : blocks_(std::move(blocks)) {
  if (!blocks_.empty()) PlayNext();
}

TMciMusic::~TMciMusic() {
  Stop();
}

void TMciMusic::Stop() {
  if (open_) Mci(std::wstring(L"close ") + kAlias);
  open_ = false;
  if (!file_.empty()) DeleteFileW(file_.c_str());
  if (!reserved_.empty()) DeleteFileW(reserved_.c_str());
  file_.clear();
  reserved_.clear();
}

void TMciMusic::Poll() {
  if (gaveUp_ || !open_) return;
  std::wstring mode;
  // A device that no longer answers has ended as well; one still "seeking" or "not ready"
  // has not.
  if (Mci(std::wstring(L"status ") + kAlias + L" mode", &mode) && mode != L"stopped") {
    if (mode == L"playing") {
      sawPlaying_ = true;
      failuresInARow_ = 0;
    }
    return;
  }
  // A block that never got to play (no sound device takes it) is a failure too: without that,
  // a list of them would be written out and started again every few milliseconds.
  if (!sawPlaying_) ++failuresInARow_;
  PlayNext();
}

void TMciMusic::PlayNext() {
  // A block that cannot be played is passed over; a list of which none plays is given up.
  while (failuresInARow_ < int(blocks_.size())) {
    Stop();
    const TMusicBlock& block = blocks_[next_];
    next_ = (next_ + 1) % blocks_.size();
    const TDevice device = DeviceOf(block.TypeCode);
    wchar_t folder[MAX_PATH + 1] = {}, name[MAX_PATH + 1] = {};
    if (GetTempPathW(MAX_PATH, folder) && GetTempFileNameW(folder, L"kst", 0, name)) {
      reserved_ = name;
      file_ = reserved_ + device.Ending;
      if (WriteWhole(file_, block.Bytes)) {
        open_ =
            Mci(std::wstring(L"open \"") + file_ + L"\" type " + device.Type + L" alias " + kAlias);
        if (open_ && Mci(std::wstring(L"play ") + kAlias)) {
          sawPlaying_ = false;
          return;
        }
      }
    }
    ++failuresInARow_;
  }
  Stop();
  gaveUp_ = true;
}

}  // namespace kestrava
