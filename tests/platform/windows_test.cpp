// What only Windows shows: another process's sharing and byte-range locks on a table the walk
// reads, and the user's regional settings. Built for Windows only.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "dbf/tdbf.h"
#include "platform/files.h"
#include "platform/regional_settings.h"
#include "support/dbf_builder.h"

// Last: its macros would rename the program's own functions in the headers above.
#include <windows.h>

namespace zered {
namespace {

// Runs the file holder with pipes on its standard input and output.
class FileHolder {
 public:
  explicit FileHolder(const std::string& arguments) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE input_read = nullptr;
    HANDLE output_write = nullptr;
    if (!::CreatePipe(&input_read, &input_write_, &inherited, 0) ||
        !::CreatePipe(&output_read_, &output_write, &inherited, 0)) {
      ADD_FAILURE() << "no pipes: " << ::GetLastError();
      return;
    }
    ::SetHandleInformation(input_write_, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(output_read_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input_read;
    startup.hStdOutput = output_write;
    startup.hStdError = output_write;
    std::string command_line = "\"" + std::string(ZERED_FILE_HOLDER) + "\" " + arguments;
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &process)) {
      process_ = process.hProcess;
      ::CloseHandle(process.hThread);
    } else {
      ADD_FAILURE() << "cannot start " << command_line << ": " << ::GetLastError();
    }
    ::CloseHandle(input_read);
    ::CloseHandle(output_write);
  }

  ~FileHolder() {
    Wait();
    if (output_read_ != nullptr) ::CloseHandle(output_read_);
  }

  // The holder's output up to its first line break.
  std::string FirstLine() {
    std::string line;
    char c = 0;
    DWORD got = 0;
    while (::ReadFile(output_read_, &c, 1, &got, nullptr) && got == 1 && c != '\n') {
      if (c != '\r') line += c;
    }
    return line;
  }

  // Lets a holder that waits for the end of its input go on.
  void CloseInput() {
    if (input_write_ != nullptr) ::CloseHandle(input_write_);
    input_write_ = nullptr;
  }

  // The exit code once the holder has ended, with what else it printed.
  std::string Wait() {
    CloseInput();
    if (process_ == nullptr) return "not started";
    std::string output;
    char buffer[256];
    DWORD got = 0;
    while (::ReadFile(output_read_, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      output.append(buffer, got);
    }
    ::WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process_, &code);
    ::CloseHandle(process_);
    process_ = nullptr;
    return std::to_string(code) + output;
  }

 private:
  HANDLE process_ = nullptr;
  HANDLE input_write_ = nullptr;
  HANDLE output_read_ = nullptr;
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Hex(const std::string& bytes) {
  std::string hex;
  char pair[3];
  for (const char c : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(c));
    hex += pair;
  }
  return hex;
}

// Whether the system refuses a read of a region another process has locked, as Windows
// does with ERROR_LOCK_VIOLATION. Wine does not: its byte-range locks bind only the programs
// that ask for locks.
bool ReadsMeetLocks(const std::string& path, uint64_t offset) {
  const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  char byte = 0;
  DWORD got = 0;
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  const bool refused =
      !::ReadFile(file, &byte, 1, &got, &at) && ::GetLastError() == ERROR_LOCK_VIOLATION;
  ::CloseHandle(file);
  return refused;
}

constexpr char kLocksNotEnforced[] =
    "reads of a locked region succeed here: Wine leaves byte-range locks to the programs that "
    "lock, where Windows fails such a read with ERROR_LOCK_VIOLATION";

// The accounting program's received invoices, 4 records of 154 bytes after a 680-byte header
// (the last one deleted); the invoice number CISLO takes bytes 11 to 34 of a record.
class WindowsTableTest : public testing::Test {
 protected:
  static constexpr uint64_t kHeader = 680;
  static constexpr size_t kRecord = 154;
  static constexpr size_t kNumberAt = 11;
  static constexpr size_t kNumberLength = 24;

  void SetUp() override {
    namespace fs = std::filesystem;
    folder_ = test::TestFolder(
        "windows_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    const fs::path fixtures = fs::path(ZERED_TEST_FIXTURES) / "e2e" / "receivables";
    for (const char* name : {"fap.dbf", "fap.fpt"}) fs::copy_file(fixtures / name, folder_ + name);
    table_ = folder_ + "fap.dbf";
    dbf_.SetReadOnly(true);
    dbf_.SetFilePath(folder_);
    dbf_.SetTableName("fap.dbf");
  }

  static uint64_t RecordAt(int record) { return kHeader + (record - 1) * kRecord; }
  // Record `record` as stored, with the invoice number `number`.
  std::string RecordWithNumber(int record, const std::string& number) const {
    std::string bytes(kRecord, '\0');
    TReadOnlyFile(table_).ReadAt(RecordAt(record), bytes.data(), bytes.size());
    bytes.replace(kNumberAt, kNumberLength,
                  number + std::string(kNumberLength - number.size(), ' '));
    return bytes;
  }
  // The invoice numbers of the records the walk visits from the current one on.
  std::vector<std::string> WalkNumbers() {
    std::vector<std::string> numbers;
    for (; !dbf_.Eof(); dbf_.Next()) numbers.push_back(dbf_.FieldByName("CISLO").ReadText());
    return numbers;
  }

  std::string folder_;
  std::string table_;
  TDbf dbf_{"Dbf1"};
};

TEST_F(WindowsTableTest, WalkWaitsForALockedRecordAndReadsItsFinalValue) {
  FileHolder holder("lock " + Quoted(table_) + " " + std::to_string(RecordAt(2)) + " " +
                    std::to_string(kRecord) + " 50 " + Hex(RecordWithNumber(2, "FP-2 zaplaceno")));
  ASSERT_EQ(holder.FirstLine(), "locked");
  if (!ReadsMeetLocks(table_, RecordAt(2))) GTEST_SKIP() << kLocksNotEnforced;
  dbf_.Open();
  EXPECT_EQ(WalkNumbers(), (std::vector<std::string>{"FP-1", "FP-2 zaplaceno", "FP-3"}));
  EXPECT_EQ(holder.Wait(), "0");
}

TEST_F(WindowsTableTest, ReadsOfALockedRegionGiveUpAtOnceOrWaitUpToTheLimit) {
  FileHolder holder("lock " + Quoted(table_) + " " + std::to_string(RecordAt(2)) + " " +
                    std::to_string(kRecord) + " -1");
  ASSERT_EQ(holder.FirstLine(), "locked");
  if (!ReadsMeetLocks(table_, RecordAt(2))) GTEST_SKIP() << kLocksNotEnforced;
  const TReadOnlyFile file(table_, std::chrono::milliseconds(100));
  std::string buffer(2 * kRecord, '\0');
  EXPECT_EQ(file.TryReadAt(RecordAt(1), buffer.data(), 2 * kRecord), std::nullopt);
  EXPECT_EQ(file.TryReadAt(RecordAt(1), buffer.data(), kRecord), std::optional<size_t>(kRecord));
  try {
    file.ReadAt(RecordAt(2), buffer.data(), kRecord);
    ADD_FAILURE() << "read a locked record";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(),
              "Cannot open file \"" + table_ + "\". " + SystemErrorReason(ERROR_LOCK_VIOLATION));
  }
  holder.CloseInput();
  EXPECT_EQ(holder.Wait(), "0");
  EXPECT_EQ(file.ReadAt(RecordAt(2), buffer.data(), kRecord), kRecord);
}

TEST_F(WindowsTableTest, TableOpenInAWalkCanBeAppendedToAndRenamed) {
  dbf_.Open();
  ASSERT_EQ(dbf_.FieldByName("CISLO").ReadText(), "FP-1");
  dbf_.Next();
  const std::string renamed = folder_ + "fap_old.dbf";
  FileHolder holder("write-rename " + Quoted(table_) + " " + std::to_string(RecordAt(5)) + " " +
                    Hex(RecordWithNumber(1, "FP-5")) + " " + Quoted(renamed));
  EXPECT_EQ(holder.Wait(), "0");
  EXPECT_EQ(WalkNumbers(), (std::vector<std::string>{"FP-2", "FP-3", "FP-5"}));
  EXPECT_FALSE(FileExists(table_));
  EXPECT_TRUE(FileExists(renamed));
  dbf_.Close();
}

TEST(WindowsRegionalSettingsTest, AreTheUsersLocaleWithTheSystemsCodePages) {
  wchar_t wide_name[LOCALE_NAME_MAX_LENGTH];
  ASSERT_GT(::GetUserDefaultLocaleName(wide_name, LOCALE_NAME_MAX_LENGTH), 0);
  std::string name;
  for (const wchar_t* c = wide_name; *c != 0; ++c) name += static_cast<char>(*c);
  const TFormatSettings user = FormatSettingsForLocale(name);
  const TFormatSettings& system = SystemFormatSettings();
  EXPECT_EQ(system.ansi_code_page, static_cast<int>(::GetACP()));
  EXPECT_EQ(system.oem_code_page, static_cast<int>(::GetOEMCP()));
  EXPECT_EQ(system.decimal_separator, user.decimal_separator) << name;
  EXPECT_EQ(system.short_date_format, user.short_date_format) << name;
  EXPECT_EQ(system.long_time_format, user.long_time_format) << name;
}

}  // namespace
}  // namespace zered
