#include "dbf/dbf_field_def.h"

#include <algorithm>

namespace zered {

bool TDbfFieldDef::AssignType(uint8_t letter, int length, int decimals, int table_level) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<uint8_t>(letter - 'a' + 'A');
  const bool fox_pro = table_level == 25;
  native_field_type_ = static_cast<char>(letter);
  stored_size_ = length;
  stored_precision_ = decimals;
  size_ = length;
  precision_ = 0;
  switch (letter) {
    case 'C':
      field_type_ = ftString;
      size_ = std::min(length, fox_pro ? 65535 : 255);
      break;
    case 'N':
    case 'F':
      if (decimals != 0) {
        field_type_ = ftFloat;
      } else if (length <= 4) {
        field_type_ = ftSmallint;
      } else if (length <= 9) {
        field_type_ = ftInteger;
      } else {
        field_type_ = ftLargeint;
      }
      size_ = std::clamp(length, 1, 20);
      precision_ = std::max(0, std::min(decimals, size_ - 2));
      break;
    case 'D':
      field_type_ = ftDate;
      size_ = 8;
      break;
    case 'L':
      field_type_ = ftBoolean;
      size_ = 1;
      break;
    case 'M':
    case 'G':
      field_type_ = letter == 'M' ? ftMemo : ftDBaseOle;
      size_ = fox_pro ? (length == 4 || length == 10 ? length : 4) : 10;
      break;
    case 'B':
      if (fox_pro) {
        field_type_ = ftFloat;
        precision_ = decimals;
      } else {
        field_type_ = ftBlob;
        size_ = 10;
      }
      break;
    case 'I':
      field_type_ = ftInteger;
      size_ = 4;
      break;
    case '+':
      if (table_level != 7) return false;
      field_type_ = ftAutoInc;
      size_ = 4;
      break;
    case 'O':
      field_type_ = ftFloat;
      size_ = 8;
      break;
    case '@':
      field_type_ = ftDateTime;
      size_ = 8;
      break;
    case 'T':
      field_type_ = ftDateTime;
      size_ = fox_pro ? 8 : 14;
      break;
    case 'Y':
      field_type_ = ftBCD;
      size_ = 8;
      precision_ = 4;
      break;
    case '0':
      field_type_ = ftBytes;
      precision_ = decimals;
      break;
    case 0x91:
      field_type_ = ftString;
      precision_ = decimals;
      break;
    default:
      field_type_ = ftUnknown;
      return false;
  }
  return true;
}

}  // namespace zered
