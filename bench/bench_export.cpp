// Throughput of the table export: the table cursor walks fap.dbf and fav.dbf, the fields are
// read and the invoice lines are written to sa2.txt, exactly as the export run does it.
//
//   bench_export [--tables=FOLDER] [--records=N] [Google Benchmark flags]
//   bench_export --once [--tables=FOLDER] [--records=N] [--ansi=CODE_PAGE]
//
// FOLDER (or $ZERED_EXPORT_TABLES) holds the two tables; sa2.txt is written beside them.
// Tables that are missing are generated there by make_invoice_tables.py with N records each
// (or $ZERED_EXPORT_RECORDS; 100000 by default); the default folder is invoice_tables_<N>
// next to this executable.
//
// The benchmark runs with the ANSI code page 1250 of the machines the program serves (the
// tables' own code page: text is copied as stored) and with 1252 (every text value is
// converted). --once exports a single time and prints "key value" lines: records, seconds,
// records_per_second and peak_rss_kib, the process's peak resident memory (VmHWM) at the end.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/format_settings.h"
#include "dbf/dbf_globals.h"
#include "dbf/tdbf.h"
#include "export/export_progress.h"
#include "export/invoice_line_file.h"
#include "export/table_export.h"
#include "platform/code_page_conversion.h"
#include "platform/files.h"
#include "platform/process.h"

namespace zered {
namespace {

constexpr int kDefaultRecords = 100000;

struct Options {
  std::string tables;  // folder ending in "/"
  int records = kDefaultRecords;
  bool once = false;
  int ansi_code_page = 1250;
};

// Keeps what the window's progress bar would show; the repaint itself is not measured here.
class BarPosition : public IExportProgress {
 public:
  void BeginTable(int record_count) override { max_ = record_count; }
  void AtRecord(int record_number) override { position_ = record_number; }

 private:
  int max_ = 0;
  int position_ = 0;
};

// The regional settings of a Czech machine, with the given ANSI code page.
TFormatSettings MachineSettings(int ansi_code_page) {
  TFormatSettings settings = TFormatSettings::Czech();
  settings.ansi_code_page = ansi_code_page;
  return settings;
}

// Exports both tables of `folder` to `folder`sa2.txt; returns the number of lines written.
int64_t ExportInvoiceTables(const std::string& folder, const TDbfGlobals& globals) {
  TDbf dbf("Dbf1");
  dbf.SetGlobals(globals);
  dbf.SetFormatSettings(globals.Settings());
  dbf.SetReadOnly(true);
  dbf.SetTableLevel(25);
  dbf.SetFilePath(folder);
  BarPosition progress;
  TInvoiceLineFile lines(folder + kInvoiceLineFileName, globals.Settings().decimal_separator);
  int64_t records = ExportTable(dbf, "fap.dbf", 'P', lines, progress);
  dbf.Close();
  records += ExportTable(dbf, "fav.dbf", 'V', lines, progress);
  dbf.Close();
  lines.Commit();
  return records;
}

// The process's peak resident set in KiB, -1 when the system does not tell.
int64_t PeakResidentKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtoll(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string GeneratorScript() {
  if (const char* script = std::getenv("ZERED_MAKE_INVOICE_TABLES")) return script;
  return (std::filesystem::path(__FILE__).parent_path() / "make_invoice_tables.py").string();
}

// Generates the tables unless both are there.
bool EnsureTables(const Options& options) {
  if (FileExists(options.tables + "fap.dbf") && FileExists(options.tables + "fav.dbf")) {
    return true;
  }
  const std::string command = "/usr/bin/python3 " + ShellQuoted(GeneratorScript()) + " " +
                              ShellQuoted(options.tables) + " " + std::to_string(options.records);
  std::fprintf(stderr, "generating the tables: %s\n", command.c_str());
  return std::system(command.c_str()) == 0;
}

bool ParseInt(std::string_view text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  int parsed = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    parsed = parsed * 10 + (c - '0');
  }
  value = parsed;
  return true;
}

// Takes this program's own arguments out of argv and leaves Google Benchmark's.
bool ParseOptions(int& argc, char** argv, Options& options) {
  const char* records = std::getenv("ZERED_EXPORT_RECORDS");
  if (records && !ParseInt(records, options.records)) {
    std::fprintf(stderr, "ZERED_EXPORT_RECORDS is not a record count: %s\n", records);
    return false;
  }
  if (const char* tables = std::getenv("ZERED_EXPORT_TABLES")) options.tables = tables;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    bool valid = true;
    if (argument == "--once") {
      options.once = true;
    } else if (argument.rfind("--tables=", 0) == 0) {
      options.tables = argument.substr(9);
    } else if (argument.rfind("--records=", 0) == 0) {
      valid = ParseInt(argument.substr(10), options.records);
    } else if (argument.rfind("--ansi=", 0) == 0) {
      valid = ParseInt(argument.substr(7), options.ansi_code_page);
    } else {
      argv[kept++] = argv[i];
      continue;
    }
    if (!valid) {
      std::fprintf(stderr, "invalid argument: %s\n", argv[i]);
      return false;
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  if (options.tables.empty()) {
    options.tables = ProgramFolder() + "invoice_tables_" + std::to_string(options.records);
  }
  if (options.tables.back() != '/') options.tables += '/';
  options.tables = ExpandFileName(options.tables);
  if (options.tables.back() != '/') options.tables += '/';
  return true;
}

int ExportOnce(const Options& options) {
  const TDbfGlobals globals(MachineSettings(options.ansi_code_page), EnumSystemCodePages());
  const auto start = std::chrono::steady_clock::now();
  const int64_t records = ExportInvoiceTables(options.tables, globals);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("records %lld\nseconds %.3f\nrecords_per_second %.0f\npeak_rss_kib %lld\n",
              static_cast<long long>(records), elapsed.count(),
              elapsed.count() > 0 ? static_cast<double>(records) / elapsed.count() : 0.0,
              static_cast<long long>(PeakResidentKib()));
  return 0;
}

void BM_ExportInvoiceTables(benchmark::State& state, std::string folder) {
  const TDbfGlobals globals(MachineSettings(static_cast<int>(state.range(0))),
                            EnumSystemCodePages());
  int64_t records = 0;
  for (auto _ : state) records += ExportInvoiceTables(folder, globals);
  state.counters["records/s"] =
      benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
  state.counters["peak_rss_MiB"] = static_cast<double>(PeakResidentKib()) / 1024.0;
}

int Main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return 2;
  if (!EnsureTables(options)) {
    std::fprintf(stderr, "the tables could not be generated in %s\n", options.tables.c_str());
    return 1;
  }
  if (options.once) return ExportOnce(options);

  benchmark::RegisterBenchmark("BM_ExportInvoiceTables", BM_ExportInvoiceTables, options.tables)
      ->ArgName("ansi")
      ->Arg(1250)
      ->Arg(1252)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace
}  // namespace zered

int main(int argc, char** argv) {
  try {
    return zered::Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
