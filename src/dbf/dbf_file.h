#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "dbf/dbf_field_defs.h"
#include "dbf/memo_file.h"
#include "dbf/paged_file.h"

namespace zered {

// The table file of a DBF table (dBASE III/IV/7, FoxPro, Visual FoxPro), read only.
//
// Usage: construct with the full file name, Open(), then read; Close() or destruction
// closes the table and its memo file. Nothing is ever written: corrections of the header
// (record count, memo bit, index flag) are made in memory only.
class TDbfFile : public TPagedFile {
 public:
  // The largest number of fields a table may have.
  static constexpr int kMaxFieldCount = 4095;

  // `file_name` is the complete file name; a name that differs only in letter case is
  // accepted when the exact one does not exist.
  TDbfFile(std::string file_name, TPagedFileMode mode);
  ~TDbfFile() override;

  // Opens the table file and its memo file and reads the header and field descriptors.
  // Throws Exception "Open: file not found: "%s".", EFOpenError "Cannot open file "%s". %s",
  // EDbfError "Invalid DBF file." or "Invalid field count: %d (must be between 1 and 4095).";
  // after a failure every file is closed. When the header or record length is 0 it returns
  // with AbortOpen() true and everything closed: the caller abandons the open silently.
  void Open();
  void Close();
  bool AbortOpen() const { return abort_open_; }

  // 3 (dBASE III), 4 (dBASE IV), 7 (dBASE 7) or 25 (FoxPro, Visual FoxPro).
  int TableLevel() const { return table_level_; }
  // Header byte 29.
  int LanguageId() const { return language_id_; }
  // The code page the header names, 0 when none.
  int FileCodePage() const { return file_code_page_; }
  // The code page the table's text is read in; FileCodePage() until set by the caller.
  int UseCodePage() const { return use_code_page_; }
  void SetUseCodePage(int code_page) { use_code_page_ = code_page; }

  const TDbfFieldDefs& FieldDefs() const { return field_defs_; }
  TDbfFieldDefs& FieldDefs() { return field_defs_; }
  // The "_NULLFLAGS" and "_DBASELOCK" fields; nullptr when the table has none.
  const TDbfFieldDef* NullField() const;
  const TDbfFieldDef* LockField() const;

  // The number of complete records, recomputed from the current file size on every call
  // (0 when closed). The header's count is replaced in memory when it differs.
  int RecordCount();

  // Reads record `record` (1-based) into `buffer` of RecordSize() bytes with one positioned
  // read and no allocation; byte 0 is the deletion flag ('*' = deleted). Returns false when
  // the file does not hold the whole record; the missing bytes are then blanks.
  bool ReadRecord(int record, char* buffer) const;

  // Replaces `dest` with the memo value starting at `block`: empty for block <= 0 or when
  // the table has no memo file.
  void ReadMemo(int64_t block, std::string& dest);
  // The memo file; nullptr when the table has no B, G or M field or is closed.
  TMemoFile* MemoFile() { return memo_file_.get(); }

 private:
  void ReadFieldDescriptors();
  void ReadFieldProperties(size_t block_start);
  void OpenMemoFile();

  int table_level_ = 0;
  int language_id_ = 0;
  int file_code_page_ = 0;
  int use_code_page_ = 0;
  bool abort_open_ = false;
  int null_field_ = -1;
  int lock_field_ = -1;
  TDbfFieldDefs field_defs_;
  std::unique_ptr<TMemoFile> memo_file_;
};

}  // namespace zered
