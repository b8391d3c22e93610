#pragma once

#include <windows.h>

#include <cstdint>

namespace zered {

// The main window's progress bar drawn with GDI: a one-pixel grey frame, the glossy blue fill
// picture stretched over the filled part, light grey beyond it, and the percentage caption in
// black in the middle. Min, Max and Position are stored exactly as set, in any order. Each
// setter repaints before it returns when what the bar shows changes (caption, filled length),
// and only then; a paint draws into an off-screen bitmap and copies it to the screen in one go.
class TProgressBar {
 public:
  TProgressBar();
  ~TProgressBar();
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  // Creates the bar's window, a child of `parent`, at the given client rectangle in pixels.
  void Create(HWND parent, int left, int top, int width, int height);
  HWND Handle() const { return window_; }

  int32_t Min() const { return min_; }
  void SetMin(int32_t min);
  int32_t Max() const { return max_; }
  void SetMax(int32_t max);
  int32_t Position() const { return position_; }
  void SetPosition(int32_t position);
  void SetVisible(bool visible);

  // How many times the bar has been painted (tests count the repaints).
  int PaintCount() const { return paint_count_; }

 private:
  // What the screen shows; a setter repaints only when it changes.
  struct Appearance {
    int64_t percent = 0;
    int extent = 0;
    bool operator==(const Appearance&) const = default;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  Appearance CurrentAppearance() const;
  void RangeChanged();
  void OnPaint();
  void Render(HDC target, int width, int height) const;

  HWND window_ = nullptr;
  HBITMAP picture_ = nullptr;  // the 13 x 10 fill picture
  int32_t min_ = 0;
  int32_t max_ = 100;
  int32_t position_ = 50;
  Appearance painted_;
  bool ever_painted_ = false;
  int paint_count_ = 0;
};

}  // namespace zered
