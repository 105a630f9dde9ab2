#include "kit/access/TextFieldAccessible.h"

#include "common/UnicodeText.h"

#include <QFontMetricsF>
#include <QLineEdit>

#include <algorithm>

namespace murmela {
namespace {

// The offsets where the pieces of one kind begin, 0 and the size included.
QList<qsizetype> piecesOf(QStringView text, QAccessible::TextBoundaryType type) {
  switch (type) {
    case QAccessible::CharBoundary:
      return UnicodeText::graphemeBoundaries(text);
    case QAccessible::WordBoundary:
      return UnicodeText::wordStarts(text);
    case QAccessible::SentenceBoundary:
      return UnicodeText::sentenceStarts(text);
    default:  // one line, one paragraph, or no boundary at all: the whole text
      return text.isEmpty() ? QList<qsizetype>{0} : QList<qsizetype>{0, text.size()};
  }
}

struct Piece {
  qsizetype start = 0;
  qsizetype end = 0;
};

}  // namespace

TextFieldAccessible::TextFieldAccessible(QLineEdit* field) : QAccessibleWidget(field, QAccessible::EditableText) {
  addControllingSignal(QStringLiteral("textChanged(QString)"));
  addControllingSignal(QStringLiteral("returnPressed()"));
}

QLineEdit* TextFieldAccessible::field() const { return static_cast<QLineEdit*>(widget()); }

QString TextFieldAccessible::readable() const {
  return field()->echoMode() == QLineEdit::Normal ? field()->text() : QString();
}

QString TextFieldAccessible::text(QAccessible::Text which) const {
  if (which == QAccessible::Value) {
    if (field()->echoMode() == QLineEdit::Normal) return field()->text();
    if (field()->echoMode() != QLineEdit::NoEcho) return QString(field()->text().size(), u'*');
    return {};
  }
  return QAccessibleWidget::text(which);
}

void TextFieldAccessible::setText(QAccessible::Text which, const QString& text) {
  if (which != QAccessible::Value) {
    QAccessibleWidget::setText(which, text);
    return;
  }
  replaceText(0, characterCount(), text);
}

QAccessible::State TextFieldAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  if (field()->isReadOnly())
    state.readOnly = true;
  else
    state.editable = true;
  state.passwordEdit = field()->echoMode() != QLineEdit::Normal;
  state.selectableText = true;
  return state;
}

void* TextFieldAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

void TextFieldAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex != 0 || !field()->hasSelectedText()) return;
  *startOffset = field()->selectionStart();
  *endOffset = field()->selectionEnd();
}

int TextFieldAccessible::selectionCount() const { return field()->hasSelectedText() ? 1 : 0; }

void TextFieldAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void TextFieldAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex == 0) field()->deselect();
}

void TextFieldAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex != 0) return;
  const int size = static_cast<int>(field()->text().size());
  startOffset = std::clamp(startOffset, 0, size);
  endOffset = std::clamp(endOffset, 0, size);
  field()->setSelection(startOffset, endOffset - startOffset);
}

int TextFieldAccessible::cursorPosition() const { return field()->cursorPosition(); }

void TextFieldAccessible::setCursorPosition(int position) { field()->setCursorPosition(position); }

QString TextFieldAccessible::text(int startOffset, int endOffset) const {
  const QString all = readable();
  if (endOffset < 0 || endOffset > all.size()) endOffset = static_cast<int>(all.size());
  startOffset = std::clamp(startOffset, 0, endOffset);
  return all.mid(startOffset, endOffset - startOffset);
}

int TextFieldAccessible::characterCount() const { return static_cast<int>(field()->text().size()); }

QString TextFieldAccessible::around(int offset, QAccessible::TextBoundaryType type, Side side, int* startOffset,
                                    int* endOffset) const {
  const QString all = readable();
  const qsizetype size = all.size();
  if (offset == -2) offset = field()->cursorPosition();
  if (offset == -1) offset = static_cast<int>(size);
  *startOffset = *endOffset = -1;
  if (offset < 0 || offset > size) return {};

  const QList<qsizetype> starts = piecesOf(all, type);
  // The piece holding the offset: at the very end, an empty character or the last piece.
  const qsizetype index = std::upper_bound(starts.cbegin(), starts.cend(), qsizetype(offset)) - starts.cbegin() - 1;
  Piece at{offset, offset};
  if (index + 1 < starts.size())
    at = {starts[index], starts[index + 1]};
  else if (type != QAccessible::CharBoundary && starts.size() >= 2)
    at = {starts[starts.size() - 2], size};

  Piece piece = at;
  if (side == Side::before) {
    const qsizetype found = starts.indexOf(at.start);
    piece = found > 0 ? Piece{starts[found - 1], at.start} : Piece{0, 0};
  } else if (side == Side::after) {
    const qsizetype found = starts.indexOf(at.end);
    piece = found >= 0 && found + 1 < starts.size() ? Piece{at.end, starts[found + 1]} : Piece{size, size};
  }
  *startOffset = static_cast<int>(piece.start);
  *endOffset = static_cast<int>(piece.end);
  return all.mid(piece.start, piece.end - piece.start);
}

QString TextFieldAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                              int* startOffset, int* endOffset) const {
  return around(offset, boundaryType, Side::before, startOffset, endOffset);
}

QString TextFieldAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const {
  return around(offset, boundaryType, Side::after, startOffset, endOffset);
}

QString TextFieldAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                          int* endOffset) const {
  return around(offset, boundaryType, Side::at, startOffset, endOffset);
}

QRect TextFieldAccessible::characterRect(int offset) const {
  const QString all = readable();
  if (offset < 0 || offset >= all.size()) return {};
  // The caret's place is known; a character stands off it by the width of
  // the text between them (the field may have scrolled).
  const QRectF caret = field()->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
  const QFontMetricsF metrics(field()->font());
  const qsizetype caretAt = std::min<qsizetype>(field()->cursorPosition(), all.size());
  const qreal left = caret.center().x() + metrics.horizontalAdvance(all.left(offset)) -
                     metrics.horizontalAdvance(all.left(caretAt));
  const qreal width = metrics.horizontalAdvance(all.mid(offset, 1));
  const QRect local = QRectF(left, caret.top(), width, caret.height()).toAlignedRect();
  return QRect(field()->mapToGlobal(local.topLeft()), local.size());
}

int TextFieldAccessible::offsetAtPoint(const QPoint& point) const {
  return field()->cursorPositionAt(field()->mapFromGlobal(point));
}

void TextFieldAccessible::scrollToSubstring(int startIndex, int endIndex) {
  field()->setCursorPosition(endIndex);
  field()->setCursorPosition(startIndex);
}

QString TextFieldAccessible::attributes(int, int* startOffset, int* endOffset) const {
  // Plain text: one run without attributes over the whole of it, whatever
  // the offset (a reader that splits a line by runs drops the last
  // character of an empty one).
  *startOffset = 0;
  *endOffset = characterCount();
  return {};
}

void TextFieldAccessible::deleteText(int startOffset, int endOffset) { replaceText(startOffset, endOffset, {}); }

void TextFieldAccessible::insertText(int offset, const QString& text) { replaceText(offset, offset, text); }

void TextFieldAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
  if (field()->isReadOnly()) return;
  const int size = characterCount();
  startOffset = std::clamp(startOffset, 0, size);
  endOffset = std::clamp(endOffset, startOffset, size);
  // As typing does: through the field's own editing (its length limit and
  // undo), and told as an edit, so whoever follows what the user types sees it.
  field()->setSelection(startOffset, endOffset - startOffset);
  field()->insert(text);
}

}  // namespace murmela
