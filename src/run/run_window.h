#pragma once

#include <string>
#include <string_view>

namespace zered {

enum class MessageIcon { kError, kWarning };

// The main window as the export run drives it. Each front end (the Qt window, the Win32 window,
// a test double) implements it; the run holds every step and no front end holds any.
//
// Texts: captions are the program's own texts in UTF-8. Message texts and titles are the 8-bit
// text the lower layers produce (file names, the system's reasons, the server's and the
// tables' texts): the ANSI code page on Windows; on Linux file names are UTF-8 and the server's
// text is in the ANSI code page, so the Qt window decodes what is valid UTF-8 as UTF-8.
class IRunWindow {
 public:
  virtual ~IRunWindow() = default;

  // Sets the Send button's caption (repainted when the window next processes its messages).
  virtual void SetSendCaption(std::string_view caption) = 0;
  // Lets the window handle the messages waiting in its queue (paint, input) and returns.
  virtual void ProcessMessages() = 0;

  // The progress bar: each setter repaints the bar before it returns when what it shows changes.
  virtual void SetProgressVisible(bool visible) = 0;
  virtual void SetProgressMax(int max) = 0;
  virtual void SetProgressPosition(int position) = 0;

  // The folder field's text exactly as it stands (the data folder), and its replacement.
  virtual std::string FolderPath() const = 0;
  virtual void SetFolderPath(const std::string& path) = 0;

  // A modal box with one "OK" button; returns when the user has dismissed it.
  virtual void ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) = 0;

  // Closes the window, which ends the process. The window asks the run first (CloseQuery).
  virtual void CloseWindow() = 0;
};

}  // namespace zered
