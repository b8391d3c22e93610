#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace zered {

// Root of every failure the program raises. Carries the message exactly as the user sees it
// (the window adds the final "." when needed).
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Dataset and field layer.
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
  // "%s: %s" with the component's name first, as a named component words its failures.
  static EDatabaseError ForComponent(const std::string& component_name, const std::string& message);
};

// DBF format errors.
class EDbfError : public EDatabaseError {
 public:
  using EDatabaseError::EDatabaseError;
};

// Text to number, text to date, timestamps.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A file that exists but cannot be opened: "Cannot open file "%s". %s".
class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be created or written: "Cannot create file "%s". %s".
class EFCreateError : public Exception {
 public:
  using Exception::Exception;
};

// SQL layer: message, error code and status text.
class EZSQLThrowable : public Exception {
 public:
  EZSQLThrowable(std::string message, int error_code = 0, std::string status = {})
      : Exception(std::move(message)), error_code_(error_code), status_(std::move(status)) {}
  int ErrorCode() const { return error_code_; }
  const std::string& StatusCode() const { return status_; }

 private:
  int error_code_;
  std::string status_;
};

class EZSQLException : public EZSQLThrowable {
 public:
  using EZSQLThrowable::EZSQLThrowable;
};

// Misuse of the SQL components.
class EZDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

// The silent abort: ends the current operation, never shown to the user.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

}  // namespace zered
