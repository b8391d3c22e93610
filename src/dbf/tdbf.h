#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/format_settings.h"
#include "dbf/dbf_cursor.h"
#include "dbf/dbf_file.h"
#include "dbf/dbf_globals.h"
#include "dbf/dbf_translator.h"
#include "dbf/field.h"
#include "dbf/field_data_set.h"
#include "dbf/field_decoding.h"

namespace zered {

enum TDbfOpenMode { omNormal, omAutoCreate, omTemporary };

// The table cursor: opens one DBF table from a folder and a file name, walks its records in
// physical order (deleted ones skipped unless ShowDeleted), and gives its fields by name.
// Inactive after creation, Close and a failed Open; browsing while open. One instance is
// reused for several tables: Close, set the table name, Open.
//
// Failures of the cursor itself are EDatabaseError with the component name first
// ("Dbf1: Field 'IDX' not found"); the table file's failures pass through unchanged; a
// table whose header or record length is 0 ends Open with the silent EAbort.
//
// Moving reads one record with one positioned read into the record image; field values are
// decoded from that image, so they stay as read even when another process changes the file.
// Nothing is allocated per record or per field lookup.
class TDbf : public TDataSet {
 public:
  // `name` is the component name that prefixes the cursor's messages; the program's
  // instance is "Dbf1".
  explicit TDbf(std::string name = "");
  ~TDbf() override;
  TDbf(const TDbf&) = delete;
  TDbf& operator=(const TDbf&) = delete;

  const std::string& Name() const { return name_; }

  // The folder as set, with the path delimiter appended when not empty. A full folder is used
  // unchanged; any other (the empty one included) resolves against the program folder,
  // never the current directory, with "." and ".." resolved. Refused while open.
  const std::string& FilePath() const { return file_path_; }
  void SetFilePath(std::string_view value);
  // The resolved folder, ending in the path delimiter.
  std::string FilePathFull() const;
  // The file name part (after the folder part); a folder part sets FilePath as above. A plain
  // name is accepted while open and takes effect at the next Open.
  const std::string& TableName() const { return table_name_; }
  void SetTableName(std::string_view value);
  // FilePathFull() + TableName(); no extension is added.
  std::string TableFileName() const { return FilePathFull() + table_name_; }

  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool value) { read_only_ = value; }
  bool Exclusive() const { return exclusive_; }
  void SetExclusive(bool value) { exclusive_ = value; }
  bool ShowDeleted() const { return show_deleted_; }
  void SetShowDeleted(bool value) { show_deleted_ = value; }
  // 3, 4, 7 or 25, set from the file at every Open; other values are ignored. Refused while
  // open.
  int TableLevel() const { return table_level_; }
  void SetTableLevel(int value);
  TDbfOpenMode OpenMode() const { return open_mode_; }
  void SetOpenMode(TDbfOpenMode value) { open_mode_ = value; }
  // Taken by the fields at Open.
  TDateTimeHandling DateTimeHandling() const { return date_time_handling_; }
  void SetDateTimeHandling(TDateTimeHandling value) { date_time_handling_ = value; }
  // The regional settings of the field values; SystemFormatSettings() by default.
  void SetFormatSettings(const TFormatSettings& settings) { settings_ = settings; }
  // The code page settings of the translation; TDbfGlobals::Instance() by default. Must
  // outlive the cursor.
  void SetGlobals(const TDbfGlobals& globals) { globals_ = &globals; }
  void SetOnTranslate(TTranslateEvent handler) { on_translate_ = std::move(handler); }
  void SetOnLanguageWarning(TDbfLanguageWarningEvent handler) {
    on_language_warning_ = std::move(handler);
  }

  // Opens the table and moves to its first visible record; nothing happens when open. On
  // failure every file is closed again and the cursor is inactive.
  void Open();
  // Closes the table and destroys its fields; nothing happens when closed.
  void Close();
  bool Active() const { return file_ != nullptr; }

  // Moves to the first visible record. Throws "Cannot perform this operation on a closed
  // dataset" when closed.
  void First();
  // Moves to the next visible record, or sets Eof() and keeps the current record.
  void Next();
  // End-of-table and start-of-table.
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }

  // Records in the file, deleted ones included, from its size at this moment; 0 when closed.
  int RecordCount() const;
  // The physical number (from 1) of the current record; 0 when closed or when the table has
  // no current record.
  int RecNo() const { return has_record_ ? current_recno_ : 0; }

  // The first field whose name equals `name` ignoring case. Throws "Field '%s' not found"
  // with the name as given. The reference is valid until Close.
  TField& FieldByName(std::string_view name) const;
  // nullptr when there is none.
  TField* FindField(std::string_view name) const;
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TField& Fields(int index) const { return *fields_[static_cast<size_t>(index)]; }

  // Header byte 29 of the open table.
  int LanguageId() const { return language_id_; }
  const TDbfTranslator& Translator() const { return translator_; }
  // The open table file; nullptr when closed.
  TDbfFile* DbfFile() const { return file_.get(); }

  // TDataSet
  std::string_view ActiveRecord() const override;
  const TFormatSettings& FormatSettings() const override { return settings_; }
  size_t TranslateText(char* text, size_t length) const override;
  void TranslateMemo(std::string& value) const override;
  void ReadMemo(int64_t block, std::string& out) const override;

 private:
  [[noreturn]] void Fail(const std::string& message) const;
  void CheckInactive() const;
  void CheckActive() const;
  void BuildFields();
  // Reads the next visible record after the cursor's position into the record image.
  bool FetchNextVisible();
  void DestroyOpenState();

  std::string name_;
  std::string file_path_;
  std::string table_name_;
  bool read_only_ = false;
  bool exclusive_ = false;
  bool show_deleted_ = false;
  int table_level_ = 4;
  TDbfOpenMode open_mode_ = omNormal;
  TDateTimeHandling date_time_handling_ = dtBDETimeStamp;
  TFormatSettings settings_;
  const TDbfGlobals* globals_;
  TTranslateEvent on_translate_;
  TDbfLanguageWarningEvent on_language_warning_;

  std::unique_ptr<TDbfFile> file_;
  std::unique_ptr<TDbfCursor> cursor_;
  std::vector<std::unique_ptr<TField>> fields_;
  TDbfTranslator translator_;
  int language_id_ = 0;
  // The record image, and a second buffer that a move reads into, so that a failed move
  // (deleted records up to the end) leaves the current record's bytes as they were.
  std::string current_;
  std::string scratch_;
  bool has_record_ = false;
  int current_recno_ = 0;
  bool eof_ = true;
  bool bof_ = true;
};

}  // namespace zered
