#pragma once

#include <QAccessibleWidget>

#include <memory>

class QLineEdit;

namespace murmela {

// The screen-reader face of a one-line text field, in place of Qt's own
// (whose word lookup at the end of the text never returns in Qt 6.4): its
// text, caret and selection, editing, and the text around any offset by
// character (grapheme cluster), word, sentence or line, as ICU breaks them.
//
// Offsets count characters (code points), as AT-SPI does, where Qt counts
// UTF-16 units: an emoji is one character to a reader. The field's own text
// events carry Qt's UTF-16 positions; inCharacters() tells them again in
// characters on their way to readers. A word runs from one word start to
// the next (the spaces and punctuation after it included), as AT-SPI's
// WORD_START has it. At the end
// of the text the character there is empty and the word, sentence or line
// is the last one. An offset past the text answers an empty text at -1.
class TextFieldAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
 public:
  explicit TextFieldAccessible(QLineEdit* field);

  QString text(QAccessible::Text which) const override;
  void setText(QAccessible::Text which, const QString& text) override;
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // QAccessibleTextInterface
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                           int* endOffset) const override;
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                          int* endOffset) const override;
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                       int* endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

  // QAccessibleEditableTextInterface
  void deleteText(int startOffset, int endOffset) override;
  void insertText(int offset, const QString& text) override;
  void replaceText(int startOffset, int endOffset, const QString& text) override;

  // A text event of a field (caret, selection, an edit) told in
  // characters; none when the event is not a field's or its text has no
  // character beyond one UTF-16 unit.
  static std::unique_ptr<QAccessibleEvent> inCharacters(QAccessibleEvent* event);

 private:
  QLineEdit* field() const;
  int toCharacters(qsizetype units) const;
  int toUnits(int characters) const;
  // The text a reader may have: none while the field hides what is typed.
  QString readable() const;
  enum class Side { before, at, after };
  QString around(int offset, QAccessible::TextBoundaryType type, Side side, int* startOffset, int* endOffset) const;
};

}  // namespace murmela
