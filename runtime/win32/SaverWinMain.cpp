// kestrava-saver.exe: the program at the head of every Windows saver file. It finds its payload
// at the end of its own file and shows it full screen (/s), in the Screen Saver Settings'
// miniature (/p HWND), or says what it holds (/c, no argument); --frames/--dump as on Linux.

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <ctime>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "imaging/ImageErrors.h"
#include "runtime/core/FrameFile.h"
#include "runtime/core/RuntimeOptions.h"
#include "runtime/core/SaverDescription.h"
#include "runtime/win32/FrameDump.h"
#include "runtime/win32/LiveShow.h"
#include "runtime/win32/MciMusic.h"
#include "runtime/win32/SaverWindow.h"
#include "runtime/win32/WideText.h"
#include "saver/SaverFileReader.h"

namespace kestrava {
namespace {

// A damaged or missing payload, or a saver this runtime cannot show.
constexpr int kBadPayload = 2;

constexpr const wchar_t* kCaption = L"Kestrava";

// The Windows runtime has no movie player.
constexpr const char* kNoFlash =
    "This saver holds Flash movies, which play on Linux only: the Windows saver cannot show them.";

class EFlashSaver : public std::runtime_error {
 public:
  EFlashSaver() : std::runtime_error(kNoFlash) {}
};

// A GUI program has no console; a parent that redirected stderr (a script, a test) still gets
// the text.
void SayOnStderr(const std::string& text) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (!err || err == INVALID_HANDLE_VALUE) return;
  DWORD wrote = 0;
  WriteFile(err, text.data(), DWORD(text.size()), &wrote, nullptr);
}

std::filesystem::path OwnFile() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

HWND WindowOf(uint64_t id) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(id));
}

void CheckShowable(const TSaverFileReader& saver) {
  if (saver.Trailer().Kind == TSaverKind::Flash) throw EFlashSaver();
}

int Refused(const std::exception& e, int status, bool box) {
  if (box)
    MessageBoxW(nullptr, WideOf(e.what()).c_str(), kCaption, MB_OK | MB_ICONERROR | MB_TOPMOST);
  else
    SayOnStderr(std::string("kestrava-saver: ") + e.what() + "\n");
  return status;
}

int Run(const TRuntimeOptions& options, const TSaverFileReader& saver) {
  switch (options.Mode) {
    case TRunMode::Dump:
      CheckShowable(saver);
      DumpFrames(saver, options);
      return 0;
    case TRunMode::Configure:
      MessageBoxW(WindowOf(options.WindowId), WideOf(SaverDescription(saver)).c_str(), kCaption,
                  MB_OK | MB_ICONINFORMATION);
      return 0;
    case TRunMode::Preview: {
      // Nothing to draw with: the miniature stays as Settings left it.
      if (saver.Trailer().Kind == TSaverKind::Flash || !IsWindow(WindowOf(options.WindowId)))
        return 0;
      TSaverWindow window(WindowOf(options.WindowId));
      TMciMusic silent({});
      ShowPictures(saver, window, silent, 0, 0, uint32_t(std::time(nullptr)));
      return 0;
    }
    default: {
      CheckShowable(saver);
      TSaverWindow window(saver.Trailer().QuitMode);
      TMciMusic music(MusicOf(saver));
      ShowPictures(saver, window, music, window.ShowWidth(), window.ShowHeight(),
                   options.Seed.value_or(uint32_t(std::time(nullptr))));
      return 0;
    }
  }
}

int Main(const std::vector<std::string>& args) {
  TRuntimeOptions options;
  try {
    options = ParseRuntimeOptions(args, nullptr);
  } catch (const ERuntimeUsage& e) {
    SayOnStderr(std::string(e.what()) + "\n" + kRuntimeUsage);
    return 1;
  }
  // Windows starts a saver without arguments from Explorer's "Configure": the note, not the show.
  if (args.empty()) options.Mode = TRunMode::Configure;
  if (options.Mode == TRunMode::Help) {
    SayOnStderr(kRuntimeUsage);
    return 0;
  }
  // The dump has its caller's stderr; the miniature of Settings, shown again and again, stays
  // quietly empty rather than raise a box each time.
  const bool box = options.Mode != TRunMode::Dump && options.Mode != TRunMode::Preview;
  std::optional<TSaverFileReader> saver;
  try {
    saver.emplace(options.Payload ? std::filesystem::path(WideOf(*options.Payload)) : OwnFile());
    return Run(options, *saver);
  } catch (const ESaverFileError& e) {
    return Refused(e, kBadPayload, box);
  } catch (const EImageError& e) {
    // A stored picture that does not decode: the file is damaged.
    return Refused(e, kBadPayload, box);
  } catch (const EFlashSaver& e) {
    return Refused(e, kBadPayload, box);
  } catch (const EFrameWriteError& e) {
    return Refused(e, kDumpWriteFailed, box);
  } catch (const std::exception& e) {
    return Refused(e, 1, box);
  }
}

}  // namespace
}  // namespace kestrava

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i)
    args.push_back(kestrava::Utf8Of(wide[i]));
  LocalFree(wide);
  return kestrava::Main(args);
}
