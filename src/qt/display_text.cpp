#include "qt/display_text.h"

#include <QStringDecoder>
#include <cstdint>
#include <string>

#include "platform/code_page_conversion.h"

namespace zered {

QString DisplayText(std::string_view bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  if (bytes.size() <= static_cast<size_t>(INT32_MAX / 2)) {
    std::u16string wide(bytes.size(), u'\0');
    int length = MultiByteToWideChar(GetACP(), bytes.data(), static_cast<int>(bytes.size()),
                                     wide.data(), static_cast<int>(wide.size()));
    if (length > 0) {
      return QString(reinterpret_cast<const QChar*>(wide.data()), length);
    }
  }
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace zered
