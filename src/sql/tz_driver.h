#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/text_lines.h"

namespace zered {

class IZConnection;
class IZTokenizer;

// A database driver: accepts URLs of its protocols ("zdbc:<protocol>:...") and creates
// connections for them. Drivers are process-wide and live until the program ends.
class IZDriver {
 public:
  virtual ~IZDriver() = default;

  virtual std::vector<std::string> GetSupportedProtocols() const = 0;
  // True when `url` starts with "zdbc:", one of the protocols and ":".
  virtual bool AcceptsURL(const std::string& url) const = 0;
  // Creates a connection for `url` and the extra name=value lines and opens it. Throws
  // EZSQLException for a malformed URL, an unsupported protocol or a failed open.
  virtual std::shared_ptr<IZConnection> Connect(const std::string& url, const TextLines& info) = 0;
  // The SQL tokenizer of this driver's dialect: created on first request, then shared.
  virtual std::shared_ptr<IZTokenizer> GetTokenizer() = 0;
};

}  // namespace zered
