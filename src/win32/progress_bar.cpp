#include "win32/progress_bar.h"

#include <string>

#include "run/progress_figures.h"

namespace zered {

namespace {

const char kClassName[] = "TsuiProgressBar";
constexpr COLORREF kBorderColor = RGB(127, 127, 127);
constexpr COLORREF kColor = RGB(231, 231, 231);
constexpr COLORREF kCaptionColor = RGB(0, 0, 0);

void RegisterBarClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    // No background brush: the bar paints every pixel itself, nothing is erased first.
    window_class.lpszClassName = kClassName;
    return RegisterClassExA(&window_class) != 0;
  }();
  (void)registered;
}

// The fill picture as a top-down 32-bit bitmap.
HBITMAP CreateFillPicture() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kFillPictureWidth;
  info.bmiHeader.biHeight = -kFillPictureHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < kFillPictureHeight; ++y) {
    const TRgb row = GradientRow(kGlossyBlue, y, kFillPictureHeight);
    const uint32_t pixel = (uint32_t{row.red} << 16) | (uint32_t{row.green} << 8) | row.blue;
    for (int x = 0; x < kFillPictureWidth; ++x) pixels[y * kFillPictureWidth + x] = pixel;
  }
  return bitmap;
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
  if (right <= left || bottom <= top) return;
  const RECT rect{left, top, right, bottom};
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

}  // namespace

TProgressBar::TProgressBar() : picture_(CreateFillPicture()) {}

TProgressBar::~TProgressBar() {
  if (window_ != nullptr) DestroyWindow(window_);
  if (picture_ != nullptr) DeleteObject(picture_);
}

void TProgressBar::Create(HWND parent, int left, int top, int width, int height) {
  RegisterBarClass(&TProgressBar::WindowProc);
  window_ = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE, left, top, width, height,
                            parent, nullptr, GetModuleHandleA(nullptr), this);
}

LRESULT CALLBACK TProgressBar::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* bar = reinterpret_cast<TProgressBar*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything; an erase first would flicker
    case WM_PAINT:
      if (bar != nullptr) {
        bar->OnPaint();
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

void TProgressBar::SetMin(int32_t min) {
  min_ = min;
  RangeChanged();
}

void TProgressBar::SetMax(int32_t max) {
  max_ = max;
  RangeChanged();
}

void TProgressBar::SetPosition(int32_t position) {
  position_ = position;
  RangeChanged();
}

void TProgressBar::SetVisible(bool visible) {
  if (window_ != nullptr) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

TProgressBar::Appearance TProgressBar::CurrentAppearance() const {
  RECT client{};
  if (window_ != nullptr) GetClientRect(window_, &client);
  return {PercentDone(min_, max_, position_),
          FilledExtent(min_, max_, position_, client.right - 1)};
}

void TProgressBar::RangeChanged() {
  if (window_ == nullptr || !IsWindowVisible(window_)) return;  // painted in full when shown
  if (ever_painted_ && CurrentAppearance() == painted_) return;
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TProgressBar::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  RECT client{};
  GetClientRect(window_, &client);
  Render(dc, client.right, client.bottom);
  EndPaint(window_, &paint);
  painted_ = CurrentAppearance();
  ever_painted_ = true;
  ++paint_count_;
}

void TProgressBar::Render(HDC target, int width, int height) const {
  if (width <= 0 || height <= 0) return;
  HDC image = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
  HGDIOBJ old_bitmap = SelectObject(image, bitmap);

  int x = FilledExtent(min_, max_, position_, width - 1);
  if (x == 0) x = 1;
  if (picture_ != nullptr && x > 1 && height > 2) {
    HDC picture = CreateCompatibleDC(target);
    HGDIOBJ old_picture = SelectObject(picture, picture_);
    SetStretchBltMode(image, COLORONCOLOR);
    StretchBlt(image, 1, 1, x - 1, height - 2, picture, 0, 0, kFillPictureWidth, kFillPictureHeight,
               SRCCOPY);
    SelectObject(picture, old_picture);
    DeleteDC(picture);
  }
  Fill(image, x, 1, width - 1, height - 1, kColor);

  // The off-screen image's own default font, as the bar has always drawn its caption.
  const std::string caption = std::to_string(PercentDone(min_, max_, position_)) + "%";
  SIZE extent{};
  GetTextExtentPoint32A(image, caption.data(), static_cast<int>(caption.size()), &extent);
  SetBkMode(image, TRANSPARENT);
  SetTextColor(image, kCaptionColor);
  TextOutA(image, (width - extent.cx) / 2, (height - extent.cy) / 2, caption.data(),
           static_cast<int>(caption.size()));

  const RECT frame{0, 0, width, height};
  HBRUSH border = CreateSolidBrush(kBorderColor);
  FrameRect(image, &frame, border);
  DeleteObject(border);

  BitBlt(target, 0, 0, width, height, image, 0, 0, SRCCOPY);
  SelectObject(image, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(image);
}

}  // namespace zered
