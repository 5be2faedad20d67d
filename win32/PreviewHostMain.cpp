// The Screen Saver Settings' miniature, for testing the saver's /p: a small window, the saver
// started with /p and its handle, the saver's child window looked at after a while, then the
// window closed, after which the saver must end by itself.
//   kestrava-preview-host SAVER.scr SECONDS [pixels]
// Exit status 0 when the saver put a visible child of the window's size into it, kept running
// while the window was there and ended with 0 once it went; with "pixels" also when that child
// covered the window with its picture. Wine composites no other process's drawing into a
// window, so its pixels are only asked for on Windows.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 152, kHeight = 112;

void PumpFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
  }
}

// How many pixels of the window's client area are not black, read from the screen: the window's
// own DC would leave out its child, the saver.
int DrawnPixels(HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, kWidth, kHeight, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  int drawn = 0;
  const auto* pixel = static_cast<const uint32_t*>(bits);
  for (int i = 0; i < kWidth * kHeight; ++i)
    drawn += (pixel[i] & 0xffffff) > 0x202020;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return drawn;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: kestrava-preview-host SAVER.scr SECONDS [pixels]\n");
    return 2;
  }
  WNDCLASSW kind{};
  kind.lpfnWndProc = DefWindowProcW;
  kind.hInstance = GetModuleHandleW(nullptr);
  kind.hbrBackground = HBRUSH(GetStockObject(BLACK_BRUSH));
  kind.lpszClassName = L"KestravaPreviewHost";
  RegisterClassW(&kind);
  RECT frame{0, 0, kWidth, kHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND parent = CreateWindowW(kind.lpszClassName, L"Preview host",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              kind.hInstance, nullptr);
  PumpFor(300);
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\" /p " +
                         std::to_wstring(reinterpret_cast<uintptr_t>(parent));
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                      &process)) {
    std::fprintf(stderr, "cannot start the saver\n");
    return 1;
  }
  PumpFor(DWORD(_wtoi(argv[2]) * 1000));
  const int drawn = DrawnPixels(parent);
  bool fine = true;
  const auto require = [&](bool condition, const char* what) {
    if (!condition) std::printf("%s\n", what);
    fine = fine && condition;
  };
  require(WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT,
          "the saver ended while its window was there");
  HWND child = GetWindow(parent, GW_CHILD);
  DWORD owner = 0;
  if (child) GetWindowThreadProcessId(child, &owner);
  require(child && owner == process.dwProcessId, "the saver made no window in the miniature");
  RECT area{};
  if (child) GetClientRect(child, &area);
  require(child && IsWindowVisible(child) && area.right == kWidth && area.bottom == kHeight,
          "the saver's window is hidden or not the miniature's size");
  std::printf("drawn %d of %d pixels\n", drawn, kWidth * kHeight);
  if (argc == 4) require(drawn > kWidth * kHeight / 2, "the saver drew too little");
  // Settings closing: the miniature goes, and the saver in it must end on its own.
  DestroyWindow(parent);
  const DWORD waited = WaitForSingleObject(process.hProcess, 10000);
  DWORD status = 259;
  GetExitCodeProcess(process.hProcess, &status);
  if (waited != WAIT_OBJECT_0) {
    std::printf("the saver still runs after its window went\n");
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  std::printf("the saver ended with %lu once its window went\n", status);
  return fine && status == 0 ? 0 : 1;
}
