#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace murmela {

// The base of every error the application throws. The processing error shown
// to the user is "[" + typeName() + "] " + description(); the log line of a
// failure names the type, domain and code as well.
class MurmelaError : public std::exception {
 public:
  ~MurmelaError() override = default;

  virtual QString typeName() const = 0;
  virtual QString description() const = 0;
  // A stable domain per error type ("MurmelaCore.<type name>") and a code per case.
  virtual QString domain() const { return QStringLiteral("MurmelaCore.") + typeName(); }
  virtual int code() const = 0;

  // "[" + type name + "] " + description.
  QString userFacingText() const { return QStringLiteral("[") + typeName() + QStringLiteral("] ") + description(); }
  const char* what() const noexcept override;

 private:
  mutable QByteArray what_;
};

// A run, request or process stopped because the user or the caller cancelled it.
class CancellationError : public MurmelaError {
 public:
  QString typeName() const override { return QStringLiteral("CancellationError"); }
  QString description() const override { return QStringLiteral("The operation was cancelled."); }
  int code() const override { return 1; }
};

// The description a user reads for any error: ours, or the standard library's
// text (UTF-8).
QString describeError(const std::exception& error);
// The same for an exception caught as a pointer; "unknown error" for one that
// is not a std::exception.
QString describeError(const std::exception_ptr& error);

// The error's type name: ours, or the unqualified name of its dynamic type.
QString errorTypeName(const std::exception& error);
// "[" + type name + "] " + description, for any error.
QString bracketedErrorText(const std::exception& error);
// One line for the analysis log: "type=… domain=… code=… msg=…". An error
// that is not ours has the domain "std" and the code 0.
QString errorLogFields(const std::exception& error);

}  // namespace murmela
