#include "runtime/win32/SaverWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

namespace kestrava {

namespace {

constexpr const wchar_t* kClassName = L"KestravaSaver";

void RegisterOnce(WNDPROC procedure) {
  static bool done = false;
  if (done) return;
  WNDCLASSEXW kind{};
  kind.cbSize = sizeof kind;
  kind.style = CS_HREDRAW | CS_VREDRAW;
  kind.lpfnWndProc = procedure;
  kind.hInstance = GetModuleHandleW(nullptr);
  kind.hbrBackground = HBRUSH(GetStockObject(BLACK_BRUSH));
  kind.lpszClassName = kClassName;
  RegisterClassExW(&kind);
  done = true;
}

POINT PointerNow() {
  POINT at{};
  GetCursorPos(&at);
  return at;
}

BITMAPINFO InfoOf(const TBitmap& frame) {
  // Device bitmaps are blue, green, red, x per pixel, top row first: a top-down 32-bit DIB.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = LONG(frame.Stride() / 4);
  info.bmiHeader.biHeight = -frame.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

TSaverWindow::TSaverWindow(int quitMode) : TSaverWindow(quitMode, PointerNow()) {}

TSaverWindow::TSaverWindow(int quitMode, POINT pointer) : rule_(quitMode, pointer.x, pointer.y) {
  RegisterOnce(&Procedure);
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  showWidth_ = GetSystemMetrics(SM_CXSCREEN);
  showHeight_ = GetSystemMetrics(SM_CYSCREEN);
  // The primary monitor's top left is the screen's origin.
  showAt_ = {-left, -top};
  window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"Kestrava",
                            WS_POPUP | WS_VISIBLE, left, top, width, height, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
  if (!window_) throw std::runtime_error("cannot open the saver's window");
  SetForegroundWindow(window_);
  ShowCursor(FALSE);
}

TSaverWindow::TSaverWindow(HWND parent) : parent_(parent), rule_(5, 0, 0) {
  RegisterOnce(&Procedure);
  RECT area{};
  GetClientRect(parent, &area);
  showWidth_ = std::max<int>(1, area.right - area.left);
  showHeight_ = std::max<int>(1, area.bottom - area.top);
  window_ = CreateWindowExW(0, kClassName, L"Kestrava", WS_CHILD | WS_VISIBLE, 0, 0, showWidth_,
                            showHeight_, parent, nullptr, GetModuleHandleW(nullptr), this);
  if (!window_) throw std::runtime_error("cannot open the preview window");
}

TSaverWindow::~TSaverWindow() {
  if (!parent_) ShowCursor(TRUE);
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

void TSaverWindow::Show(const TBitmap& frame) {
  frame_ = &frame;
  if (HDC dc = GetDC(window_)) {
    Paint(dc);
    ReleaseDC(window_, dc);
  }
}

void TSaverWindow::Paint(HDC dc) const {
  if (!frame_) return;
  const BITMAPINFO info = InfoOf(*frame_);
  const void* bits = frame_->ScanLine(0);
  if (parent_) {
    RECT area{};
    GetClientRect(window_, &area);
    SetStretchBltMode(dc, COLORONCOLOR);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, 0, 0, area.right, area.bottom, 0, 0, frame_->Width(), frame_->Height(), bits,
                  &info, DIB_RGB_COLORS, SRCCOPY);
  } else {
    SetDIBitsToDevice(dc, showAt_.x, showAt_.y, DWORD(frame_->Width()), DWORD(frame_->Height()), 0,
                      0, 0, UINT(frame_->Height()), bits, &info, DIB_RGB_COLORS);
  }
}

bool TSaverWindow::Pump(DWORD waitMs) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) ended_ = true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The miniature goes away without telling its child first when Settings closes.
  if (parent_ && !IsWindow(parent_)) ended_ = true;
  return !ended_;
}

void TSaverWindow::UserAction(TUserAction action, int x, int y) {
  if (!parent_ && rule_.Ends(action, x, y)) {
    ended_ = true;
    PostMessageW(window_, WM_CLOSE, 0, 0);
  }
}

LRESULT CALLBACK TSaverWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<TSaverWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(self));
  }
  auto* self = reinterpret_cast<TSaverWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(window, message, wParam, lParam);
}

LRESULT TSaverWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      Paint(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SETCURSOR:
      if (parent_) break;
      SetCursor(nullptr);
      return TRUE;
    case WM_MOUSEMOVE: {
      if (parent_) break;
      // Windows sends one move as the window appears, with the pointer where it was.
      if (!sawFirstMove_) {
        sawFirstMove_ = true;
        return 0;
      }
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(window, &at);
      UserAction(TUserAction::PointerMoved, at.x, at.y);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      UserAction(TUserAction::ButtonPressed);
      return 0;
    case WM_KEYDOWN:
      UserAction(TUserAction::KeyPressed);
      return 0;
    case WM_SYSKEYDOWN:
      UserAction(wParam == VK_F4 ? TUserAction::AltF4 : TUserAction::KeyPressed);
      return 0;
    case WM_CLOSE:
      ended_ = true;
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      ended_ = true;
      window_ = nullptr;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kestrava
