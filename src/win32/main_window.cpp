#include "win32/main_window.h"

#include <string>

#include "sql/tz_busy_pointer.h"

namespace zered {

namespace {

const char kClassName[] = "TForm1";
const char kTitle[] = "Zered - Ostrun";
constexpr int kButton3Id = 102;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

std::wstring Utf16(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

HFONT CreateTahoma(int points, int dpi) {
  return CreateFontA(-MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

TMainWindow::TMainWindow(std::vector<std::string> arguments)
    : dpi_(ScreenDpi()), ExportRun(*this, FormStorage1, std::move(arguments)) {
  SetBusyPointerHook([](bool busy) {
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(busy ? IDC_WAIT : IDC_ARROW)));
  });
}

TMainWindow::~TMainWindow() {
  SetBusyPointerHook(nullptr);
  if (window_ != nullptr) DestroyWindow(window_);
  if (font_ != nullptr) DeleteObject(font_);
  if (button_font_ != nullptr) DeleteObject(button_font_);
}

int TMainWindow::Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }

bool TMainWindow::Create(int show_command) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &TMainWindow::WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  if (RegisterClassExA(&window_class) == 0) return false;

  RECT frame{0, 0, Scale(507), Scale(100)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = CreateWindowExA(kExStyle, kClassName, kTitle, kStyle, left, top, width, height, nullptr,
                            nullptr, instance, this);
  if (window_ == nullptr) return false;

  // Restored before the window becomes visible, so before an automatic run can start.
  FormStorage1.HandleShow();
  ShowWindow(window_, show_command);
  UpdateWindow(window_);
  return true;
}

LRESULT CALLBACK TMainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<TMainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TMainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT TMainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_COMMAND:
      OnCommand(wparam);
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlID == TFolderField::kBrowseButtonId) {
        LMDBrowseEdit1.DrawButton(*item);
        return TRUE;
      }
      break;
    }
    case WM_ACTIVATE:
      OnActivate(wparam);
      break;
    case WM_SETCURSOR:
      if (OnSetCursor()) return TRUE;
      break;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wparam, lparam);
}

void TMainWindow::OnCreate() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  font_ = CreateTahoma(8, dpi_);
  button_font_ = CreateTahoma(10, dpi_);
  SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

  // Created in the tab order: the folder field first, then the Send button.
  LMDBrowseEdit1.Create(window_, Scale(8), Scale(21), Scale(343), Scale(21), Scale(18), font_);
  suiProgressBar1.Create(window_, Scale(8), Scale(60), Scale(486), Scale(20));
  // A Unicode button, so the Czech captions show whatever the ANSI code page.
  button3_ =
      CreateWindowExW(0, L"BUTTON", L"Odeslat", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                      Scale(365), Scale(8), Scale(129), Scale(39), window_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButton3Id)), instance, nullptr);
  SendMessageW(button3_, WM_SETFONT, reinterpret_cast<WPARAM>(button_font_), FALSE);
  SetFocus(LMDBrowseEdit1.Edit());

  FormStorage1.SetStoredProps({"LMDBrowseEdit1.Path"});
  FormStorage1.Loaded();
}

void TMainWindow::OnCommand(WPARAM wparam) {
  if (HIWORD(wparam) != BN_CLICKED) return;
  switch (LOWORD(wparam)) {
    case kButton3Id:
      ExportRun.Button3Click();
      break;
    case TFolderField::kBrowseButtonId:
      LMDBrowseEdit1.Browse();
      break;
    default:
      break;
  }
}

void TMainWindow::OnActivate(WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE || !ExportRun.StartsAtActivation()) return;
  // Pressed after the activation has been handled, as a click would arrive.
  PostMessageA(window_, WM_COMMAND, MAKEWPARAM(kButton3Id, BN_CLICKED),
               reinterpret_cast<LPARAM>(button3_));
}

bool TMainWindow::OnSetCursor() {
  if (BusyPointerDepth() == 0) return false;
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  return true;
}

void TMainWindow::OnClose() {
  if (!ExportRun.CloseQuery()) return;  // carried out when the run has ended
  FormStorage1.HandleCloseGranted();
  DestroyWindow(window_);
}

void TMainWindow::OnDestroy() {
  FormStorage1.HandleDestroy();
  window_ = nullptr;
  PostQuitMessage(exit_code_);
}

int TMainWindow::RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (window_ != nullptr && IsDialogMessageA(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

void TMainWindow::SetSendCaption(std::string_view caption) {
  SetWindowTextW(button3_, Utf16(caption).c_str());
}

void TMainWindow::ProcessMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the message loop, which ends the program.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (window_ != nullptr && IsDialogMessageA(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void TMainWindow::SetProgressVisible(bool visible) { suiProgressBar1.SetVisible(visible); }

void TMainWindow::SetProgressMax(int max) { suiProgressBar1.SetMax(max); }

void TMainWindow::SetProgressPosition(int position) { suiProgressBar1.SetPosition(position); }

std::string TMainWindow::FolderPath() const { return LMDBrowseEdit1.Path(); }

void TMainWindow::SetFolderPath(const std::string& path) { LMDBrowseEdit1.SetPath(path); }

void TMainWindow::ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) {
  const std::string title_text(title);
  const std::string body(text);
  MessageBoxA(window_, body.c_str(), title_text.c_str(),
              MB_OK | (icon == MessageIcon::kError ? MB_ICONERROR : MB_ICONWARNING));
}

void TMainWindow::CloseWindow() {
  if (window_ != nullptr) SendMessageA(window_, WM_CLOSE, 0, 0);
}

IStoredComponent* TMainWindow::FindComponent(std::string_view name) {
  return folder_component_.Find(name);
}

void TMainWindow::ShowException(const std::exception& error) { ExportRun.ShowException(error); }

}  // namespace zered
