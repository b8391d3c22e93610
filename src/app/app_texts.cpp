#include "app/app_texts.h"

#include <QStringDecoder>
#include <cstdint>

#include "platform/code_page_conversion.h"

namespace zered {

bool IsAutomaticMode(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return false;
  std::string first = arguments.front();
  for (char& c : first) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return first == "/A";
}

QString ApplicationTitle(const std::string& executable_path) {
  QString name = DisplayText(executable_path);
  name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
  qsizetype dot = name.indexOf(QLatin1Char('.'));
  if (dot >= 0) name.truncate(dot);
  if (name.isEmpty()) return name;
  return name.left(1) + name.mid(1).toLower();
}

std::string FailureBoxText(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

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
