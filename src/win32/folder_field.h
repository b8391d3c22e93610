#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace zered {

// The folder field on Windows: a single-line edit control with a browse button at its right end.
// The text is free; Path is exactly the field's text in the ANSI code page (nothing trimmed, no
// delimiter added or removed). The browse button opens the shell's folder dialog over the whole
// namespace without a preselected folder; a confirmed folder replaces the whole text, a
// cancelled dialog leaves the text alone.
class TFolderField {
 public:
  // The browse button's command identifier in the parent's WM_COMMAND and WM_DRAWITEM.
  static constexpr int kBrowseButtonId = 101;

  TFolderField() = default;
  TFolderField(const TFolderField&) = delete;
  TFolderField& operator=(const TFolderField&) = delete;

  // Creates the edit control and its button as children of `parent` at the given rectangle
  // (pixels); the button is `button_width` pixels wide inside the field's right end.
  void Create(HWND parent, int left, int top, int width, int height, int button_width, HFONT font);
  HWND Edit() const { return edit_; }

  std::string Path() const;
  // Replaces the text; the same text again changes nothing.
  void SetPath(const std::string& path);

  // What a click of the browse button does: the field takes the focus, the dialog runs over
  // the field's parent, and a confirmed folder becomes the text.
  void Browse();

  // Paints the browse button (it is owner-drawn: a small yellow folder).
  void DrawButton(const DRAWITEMSTRUCT& item) const;

  // The shell's modal folder dialog owned by `owner`: only file-system folders can be
  // confirmed, the tree starts at the desktop, nothing is preselected. The chosen folder's
  // path trimmed of blanks, or nothing when the user cancels.
  static std::optional<std::string> RunFolderDialog(HWND owner);

 private:
  static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR subclass, DWORD_PTR data);

  HWND parent_ = nullptr;
  HWND edit_ = nullptr;
  HWND button_ = nullptr;
};

}  // namespace zered
