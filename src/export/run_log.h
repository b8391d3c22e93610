#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/format_settings.h"
#include "base/text_lines.h"

namespace zered {

// The run log of one export run: the lines of the log file as loaded at the run's start, plus
// the lines the run appends. Nothing reaches the file before Save(), so a run that fails
// leaves the file as it was. Save() replaces the file atomically.
class RunLog {
 public:
  using Clock = std::function<TDateTime()>;

  // The log file of the program: "proto.txt" in the program folder.
  static std::string DefaultPath();

  // The program's log file, the machine's regional settings and its clock.
  RunLog();
  // For tests: another file, settings and clock.
  RunLog(std::string path, TFormatSettings settings, Clock clock);

  // Loads the file's lines when the file exists (none otherwise). Throws EFOpenError when it
  // exists but cannot be read.
  void Load();
  void Append(std::string line);
  // Appends the current local date and time in the short date format, followed by a blank
  // and the long time format unless the time of day is exactly midnight, then `suffix`.
  void AppendTimestamped(std::string_view suffix);
  // Writes every line followed by CR LF. Throws EFCreateError; the file then stays as it was.
  void Save() const;

  const TextLines& Lines() const { return lines_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  TFormatSettings settings_;
  Clock clock_;
  TextLines lines_;
};

}  // namespace zered
