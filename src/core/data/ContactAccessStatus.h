#pragma once

#include <QString>

namespace murmela {

// The state of the user's permission to read their contacts. `unknown`
// carries a description of a state this application does not name; two
// unknown states are equal when their texts are.
class ContactAccessStatus {
 public:
  enum class Kind { unknown, notDetermined, authorized, denied, restricted };

  static ContactAccessStatus notDetermined() { return ContactAccessStatus(Kind::notDetermined); }
  static ContactAccessStatus authorized() { return ContactAccessStatus(Kind::authorized); }
  static ContactAccessStatus denied() { return ContactAccessStatus(Kind::denied); }
  static ContactAccessStatus restricted() { return ContactAccessStatus(Kind::restricted); }
  static ContactAccessStatus unknown(QString text) { return ContactAccessStatus(Kind::unknown, std::move(text)); }
  // From a raw authorization value: 0 not determined, 1 restricted, 2 denied,
  // 3 authorized; anything else is unknown, described by its value.
  static ContactAccessStatus fromRawValue(qint64 raw);

  Kind kind() const { return kind_; }
  // The text of an unknown state (empty for the named ones).
  const QString& text() const { return text_; }
  bool isAuthorized() const { return kind_ == Kind::authorized; }

  friend bool operator==(const ContactAccessStatus& a, const ContactAccessStatus& b) {
    return a.kind_ == b.kind_ && a.text_ == b.text_;
  }

 private:
  explicit ContactAccessStatus(Kind kind, QString text = {}) : kind_(kind), text_(std::move(text)) {}

  Kind kind_;
  QString text_;
};

}  // namespace murmela
