#include "export/run_log.h"

#include <utility>

#include "base/date_format.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/regional_settings.h"

namespace zered {

std::string RunLog::DefaultPath() { return ProgramFolder() + "proto.txt"; }

RunLog::RunLog() : RunLog(DefaultPath(), SystemFormatSettings(), &Now) {}

RunLog::RunLog(std::string path, TFormatSettings settings, Clock clock)
    : path_(std::move(path)), settings_(std::move(settings)), clock_(std::move(clock)) {}

void RunLog::Load() {
  lines_.clear();
  if (FileExists(path_)) lines_ = LoadLinesFromFile(path_);
}

void RunLog::Append(std::string line) { lines_.push_back(std::move(line)); }

void RunLog::AppendTimestamped(std::string_view suffix) {
  std::string line = FormatTimestamp(clock_(), settings_);
  line.append(suffix);
  lines_.push_back(std::move(line));
}

void RunLog::Save() const { SaveLinesToFile(path_, lines_); }

}  // namespace zered
