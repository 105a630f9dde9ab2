#include "common/MurmelaError.h"

#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace murmela {

const char* MurmelaError::what() const noexcept {
  try {
    if (what_.isEmpty()) what_ = userFacingText().toUtf8();
    return what_.constData();
  } catch (...) {
    return "MurmelaError";
  }
}

QString describeError(const std::exception& error) {
  if (const auto* known = dynamic_cast<const MurmelaError*>(&error)) return known->description();
  return QString::fromUtf8(error.what());
}

QString describeError(const std::exception_ptr& error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const std::exception& caught) {
    return describeError(caught);
  } catch (...) {
  }
  return QStringLiteral("unknown error");
}

QString errorTypeName(const std::exception& error) {
  if (const auto* known = dynamic_cast<const MurmelaError*>(&error)) return known->typeName();
  const char* mangled = typeid(error).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  QString name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
  const qsizetype scope = name.lastIndexOf(QStringLiteral("::"));
  return scope >= 0 ? name.mid(scope + 2) : name;
}

QString bracketedErrorText(const std::exception& error) {
  return QStringLiteral("[") + errorTypeName(error) + QStringLiteral("] ") + describeError(error);
}

QString errorLogFields(const std::exception& error) {
  const auto* known = dynamic_cast<const MurmelaError*>(&error);
  const QString domain = known ? known->domain() : QStringLiteral("std");
  const int code = known ? known->code() : 0;
  return QStringLiteral("type=") + errorTypeName(error) + QStringLiteral(" domain=") + domain +
         QStringLiteral(" code=") + QString::number(code) + QStringLiteral(" msg=") + describeError(error);
}

}  // namespace murmela
