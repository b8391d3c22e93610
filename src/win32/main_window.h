#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "run/export_run.h"
#include "run/folder_field_component.h"
#include "run/run_window.h"
#include "settings/form_storage.h"
#include "settings/form_storage_owner.h"
#include "win32/folder_field.h"
#include "win32/progress_bar.h"

namespace zered {

// The main window on Windows, "Zered - Ostrun": the folder field, the progress bar and the Send
// button, laid out for 96 dpi and scaled to the system's setting, and a thin front end of the
// export run. The window procedure only routes each message to a handler; the run performs
// every step. The window's state lives in this object, reached through GWLP_USERDATA.
class TMainWindow : public IRunWindow, public IFormStorageOwner {
 public:
  // `arguments`: the command-line arguments after the program name.
  explicit TMainWindow(std::vector<std::string> arguments);
  ~TMainWindow() override;
  TMainWindow(const TMainWindow&) = delete;
  TMainWindow& operator=(const TMainWindow&) = delete;

  // Creates the window and its controls, restores the folder field from the window settings
  // file and shows the window centred. False when the window cannot be created.
  bool Create(int show_command);
  // Runs the message loop until the window has closed; returns the exit code.
  int RunMessageLoop();

  // IRunWindow
  void SetSendCaption(std::string_view caption) override;
  void ProcessMessages() override;
  void SetProgressVisible(bool visible) override;
  void SetProgressMax(int max) override;
  void SetProgressPosition(int position) override;
  std::string FolderPath() const override;
  void SetFolderPath(const std::string& path) override;
  void ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) override;
  void CloseWindow() override;

  // IFormStorageOwner
  std::string ClassName() const override { return "TForm1"; }
  IStoredComponent* FindComponent(std::string_view name) override;
  void ShowException(const std::exception& error) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnCreate();
  void OnCommand(WPARAM wparam);
  void OnActivate(WPARAM wparam);
  void OnClose();
  void OnDestroy();
  bool OnSetCursor();
  // `pixels` at 96 dpi, scaled to the screen's setting.
  int Scale(int pixels) const;

  HWND window_ = nullptr;
  HWND button3_ = nullptr;
  HFONT font_ = nullptr;
  HFONT button_font_ = nullptr;
  int dpi_ = 96;
  TFolderField LMDBrowseEdit1;
  TProgressBar suiProgressBar1;
  TFolderFieldComponent folder_component_{*this};
  int exit_code_ = 0;

 public:
  // Remembers the folder field between starts of the program.
  TFormStorage FormStorage1{*this};
  // The export run that the Send button starts; it owns the non-visual components.
  TExportRun ExportRun;
};

}  // namespace zered
