#include "dbf/tdbf.h"

#include <unordered_set>
#include <utility>

#include "base/exceptions.h"
#include "base/format.h"
#include "dbf/fields.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/regional_settings.h"

namespace zered {

namespace {

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

TPagedFileMode FileMode(bool read_only, bool exclusive) {
  if (read_only) return pfReadOnly;
  return exclusive ? pfExclusiveOpen : pfReadWriteOpen;
}

// The definition's size: the stored size for these kinds, 0 for the others.
int DefinitionSize(const TDbfFieldDef& def) {
  switch (def.FieldType()) {
    case ftString:
    case ftBCD:
    case ftBytes:
      return def.Size();
    default:
      return 0;
  }
}

}  // namespace

TDbf::TDbf(std::string name)
    : name_(std::move(name)),
      settings_(SystemFormatSettings()),
      globals_(&TDbfGlobals::Instance()) {}

TDbf::~TDbf() { DestroyOpenState(); }

void TDbf::Fail(const std::string& message) const {
  if (name_.empty()) throw EDatabaseError(message);
  throw EDatabaseError::ForComponent(name_, message);
}

void TDbf::CheckInactive() const {
  if (Active()) Fail("Cannot perform this operation on an open dataset");
}

void TDbf::CheckActive() const {
  if (!Active()) Fail("Cannot perform this operation on a closed dataset");
}

void TDbf::SetFilePath(std::string_view value) {
  CheckInactive();
  file_path_.assign(value);
  if (!file_path_.empty() && !IsPathDelimiter(file_path_.back())) {
    file_path_.push_back(PathDelimiter());
  }
}

std::string TDbf::FilePathFull() const {
  if (IsAbsolutePath(file_path_)) return file_path_;
  // Relative to the program's own folder: the current directory plays no part. Expanded
  // lexically, as a Windows path is: symbolic links are not followed.
  return ExpandFileName(ProgramFolder() + file_path_);
}

void TDbf::SetTableName(std::string_view value) {
  const size_t folder = FolderLength(value);
  if (folder != 0) {
    SetFilePath(value.substr(0, folder));
    value.remove_prefix(folder);
  }
  table_name_.assign(value);
}

void TDbf::SetTableLevel(int value) {
  CheckInactive();
  if (value == 3 || value == 4 || value == 7 || value == 25) table_level_ = value;
}

void TDbf::Open() {
  if (Active()) return;
  try {
    file_ = std::make_unique<TDbfFile>(TableFileName(), FileMode(read_only_, exclusive_));
    file_->Open();
    if (file_->AbortOpen()) throw EAbort();
    table_level_ = file_->TableLevel();
    language_id_ = file_->LanguageId();
    BuildFields();
    translator_ = TDbfTranslator();
    translator_.SetOnTranslate(on_translate_);
    translator_.Determine(file_->FileCodePage(), *globals_, on_language_warning_);
    file_->SetUseCodePage(translator_.UseCodePage());
    const auto record_size = static_cast<size_t>(file_->RecordSize());
    current_.assign(record_size, ' ');
    scratch_.assign(record_size, ' ');
    cursor_ = std::make_unique<TDbfCursor>(*file_);
    First();
  } catch (...) {
    DestroyOpenState();
    throw;
  }
}

void TDbf::BuildFields() {
  TDbfFieldDefs& defs = file_->FieldDefs();
  std::unordered_set<std::string> taken;
  fields_.reserve(static_cast<size_t>(defs.Count()));
  for (int i = 0; i < defs.Count(); ++i) {
    TDbfFieldDef& def = defs.Items(i);
    // A repeated name is numbered NAME2, NAME3, ..., the descriptor renamed with it.
    if (taken.count(UpperCase(def.FieldName())) != 0) {
      for (int number = 2;; ++number) {
        std::string candidate = def.FieldName() + std::to_string(number);
        if (taken.count(UpperCase(candidate)) == 0) {
          def.SetFieldName(std::move(candidate));
          break;
        }
      }
    }
    taken.insert(UpperCase(def.FieldName()));
    TFieldStorage storage;
    storage.offset = def.Offset();
    storage.coding.native_type = def.NativeFieldType();
    storage.coding.table_level = table_level_;
    storage.coding.size = def.Size();
    storage.coding.date_time_handling = date_time_handling_;
    storage.fits_in_record =
        def.FitsInRecord() && def.Offset() >= 0 && def.Offset() + def.Size() <= file_->RecordSize();
    std::unique_ptr<TField> field =
        CreateField(*this, def.FieldName(), def.FieldType(), DefinitionSize(def), i + 1, storage);
    if (field == nullptr) throw EDbfError("Invalid DBF file.");
    fields_.push_back(std::move(field));
  }
}

void TDbf::Close() {
  if (!Active()) return;
  DestroyOpenState();
}

void TDbf::DestroyOpenState() {
  has_record_ = false;
  current_recno_ = 0;
  eof_ = true;
  bof_ = true;
  fields_.clear();
  cursor_.reset();
  if (file_ != nullptr) {
    file_->Close();
    file_.reset();
  }
  current_.clear();
  scratch_.clear();
  language_id_ = 0;
}

bool TDbf::FetchNextVisible() {
  while (cursor_->Next()) {
    const int recno = cursor_->PhysicalRecNo();
    if (!file_->ReadRecord(recno, scratch_.data())) {
      // The file got shorter since its size was last asked: there is no such record.
      cursor_->Last();
      return false;
    }
    if (scratch_[0] == '*' && !show_deleted_) continue;
    std::swap(current_, scratch_);
    current_recno_ = recno;
    has_record_ = true;
    return true;
  }
  return false;
}

void TDbf::First() {
  CheckActive();
  has_record_ = false;
  current_recno_ = 0;
  cursor_->First();
  const bool found = FetchNextVisible();
  bof_ = true;
  eof_ = !found;
}

void TDbf::Next() {
  CheckActive();
  if (eof_) return;
  if (FetchNextVisible()) {
    bof_ = false;
  } else {
    eof_ = true;
  }
}

int TDbf::RecordCount() const { return Active() ? file_->RecordCount() : 0; }

TField* TDbf::FindField(std::string_view name) const {
  for (const auto& field : fields_) {
    if (EqualsIgnoreCase(field->FieldName(), name)) return field.get();
  }
  return nullptr;
}

TField& TDbf::FieldByName(std::string_view name) const {
  TField* field = FindField(name);
  if (field == nullptr) Fail(Format("Field '%s' not found", std::string(name).c_str()));
  return *field;
}

std::string_view TDbf::ActiveRecord() const {
  return has_record_ ? std::string_view(current_) : std::string_view();
}

size_t TDbf::TranslateText(char* text, size_t length) const {
  return translator_.Translate(text, length);
}

void TDbf::TranslateMemo(std::string& value) const { translator_.TranslateMemo(value); }

void TDbf::ReadMemo(int64_t block, std::string& out) const {
  out.clear();
  if (file_ != nullptr) file_->ReadMemo(block, out);
}

}  // namespace zered
