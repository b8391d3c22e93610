#include "win32/folder_field.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

namespace zered {

namespace {

constexpr COLORREF kFolderYellow = RGB(255, 214, 90);
constexpr COLORREF kFolderOutline = RGB(160, 120, 20);

std::string TrimBlanks(std::string text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Centres `dialog` over the active window (the whole screen when there is none), then keeps it
// inside the desktop's work area.
void PlaceDialog(HWND dialog) {
  RECT own{};
  GetWindowRect(dialog, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HWND active = GetActiveWindow();
  if (active != nullptr && active != dialog) GetWindowRect(active, &around);
  int left = around.left + (around.right - around.left - width) / 2;
  int top = around.top + (around.bottom - around.top - height) / 2;
  RECT desktop{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
  if (left + width > desktop.right) left = desktop.right - width;
  if (top + height > desktop.bottom) top = desktop.bottom - height;
  if (left < desktop.left) left = desktop.left;
  if (top < desktop.top) top = desktop.top;
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lparam, LPARAM) {
  switch (message) {
    case BFFM_INITIALIZED:
      // Nothing is preselected, so OK waits for the user to select a file-system folder.
      SendMessageA(dialog, BFFM_ENABLEOK, 0, FALSE);
      PlaceDialog(dialog);
      break;
    case BFFM_SELCHANGED: {
      char path[MAX_PATH + 1] = {};
      const BOOL file_system = SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lparam), path);
      SendMessageA(dialog, BFFM_ENABLEOK, 0, file_system);
      break;
    }
    default:
      break;
  }
  return 0;
}

// Draws a small folder, 13 x 14 pixels at 96 dpi, centred in `rect`.
void DrawFolder(HDC dc, const RECT& rect) {
  const int width = 13;
  const int height = 10;
  const int left = rect.left + (rect.right - rect.left - width) / 2;
  const int top = rect.top + (rect.bottom - rect.top - height) / 2;
  HBRUSH fill = CreateSolidBrush(kFolderYellow);
  HPEN outline = CreatePen(PS_SOLID, 1, kFolderOutline);
  HGDIOBJ old_brush = SelectObject(dc, fill);
  HGDIOBJ old_pen = SelectObject(dc, outline);
  const POINT shape[] = {{left, top + 1},      {left + 5, top + 1},       {left + 6, top + 2},
                         {left + 12, top + 2}, {left + 12, top + height}, {left, top + height}};
  Polygon(dc, shape, static_cast<int>(std::size(shape)));
  MoveToEx(dc, left, top + 3, nullptr);
  LineTo(dc, left + 13, top + 3);
  SelectObject(dc, old_pen);
  SelectObject(dc, old_brush);
  DeleteObject(outline);
  DeleteObject(fill);
}

}  // namespace

void TFolderField::Create(HWND parent, int left, int top, int width, int height, int button_width,
                          HFONT font) {
  parent_ = parent;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL,
                          left, top, width, height, parent, nullptr, instance, nullptr);
  SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // No maximum length: the control's default limit would cut long folder names.
  SendMessageA(edit_, EM_SETLIMITTEXT, 0, 0);
  SetWindowSubclass(edit_, &TFolderField::EditProc, 1, 0);

  // Inside the field's right end, above the edit control; the text stops before it.
  const int edge = GetSystemMetrics(SM_CXEDGE);
  button_ = CreateWindowExA(
      0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, left + width - edge - button_width,
      top + edge, button_width, height - 2 * edge, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBrowseButtonId)), instance, nullptr);
  SetWindowPos(button_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageA(edit_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, button_width));
}

LRESULT CALLBACK TFolderField::EditProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR, DWORD_PTR) {
  // Up and Down move the caret like Left and Right.
  if ((message == WM_KEYDOWN || message == WM_KEYUP) && (wparam == VK_UP || wparam == VK_DOWN)) {
    wparam = wparam == VK_UP ? VK_LEFT : VK_RIGHT;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

std::string TFolderField::Path() const {
  const int length = GetWindowTextLengthA(edit_);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(edit_, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

void TFolderField::SetPath(const std::string& path) {
  if (Path() == path) return;
  SetWindowTextA(edit_, path.c_str());
}

void TFolderField::Browse() {
  if (GetFocus() != edit_) SetFocus(edit_);
  if (std::optional<std::string> folder = RunFolderDialog(parent_)) {
    SetWindowTextA(edit_, folder->c_str());
  }
}

std::optional<std::string> TFolderField::RunFolderDialog(HWND owner) {
  // The dialog's tree lives on COM; an apartment another part of the thread opened is reused.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // No "insert a disk" boxes while the user browses empty drives.
  const UINT error_mode = SetErrorMode(SEM_FAILCRITICALERRORS);

  char display_name[MAX_PATH] = {};
  BROWSEINFOA browse{};
  browse.hwndOwner = owner;
  browse.pidlRoot = nullptr;  // the whole shell namespace, the desktop at its top
  browse.pszDisplayName = display_name;
  browse.lpszTitle = "";
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = &BrowseCallback;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);

  std::optional<std::string> result;
  if (chosen != nullptr) {
    char path[MAX_PATH + 1] = {};
    if (SHGetPathFromIDListA(chosen, path)) result = TrimBlanks(path);
    CoTaskMemFree(chosen);
  }
  SetErrorMode(error_mode);
  if (SUCCEEDED(com)) CoUninitialize();
  return result;
}

void TFolderField::DrawButton(const DRAWITEMSTRUCT& item) const {
  RECT rect = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(item.hDC, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  if (pushed) OffsetRect(&rect, 1, 1);
  DrawFolder(item.hDC, rect);
}

}  // namespace zered
