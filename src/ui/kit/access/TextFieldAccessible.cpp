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

// The characters (code points) of `text` before the UTF-16 position `units`.
int pointsBefore(QStringView text, qsizetype units) {
  units = std::clamp<qsizetype>(units, 0, text.size());
  int points = 0;
  for (qsizetype at = 0; at < units; ++at)
    if (!text[at].isLowSurrogate() || at == 0 || !text[at - 1].isHighSurrogate()) ++points;
  return points;
}

// The UTF-16 position of the character `points` characters into `text` (its size past the end).
qsizetype unitsBefore(QStringView text, int points) {
  qsizetype at = 0;
  for (; points > 0 && at < text.size(); --points)
    at += text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2 : 1;
  return at;
}

bool hasSurrogates(QStringView text) {
  return std::any_of(text.cbegin(), text.cend(), [](QChar unit) { return unit.isSurrogate(); });
}

}  // namespace

std::unique_ptr<QAccessibleEvent> TextFieldAccessible::inCharacters(QAccessibleEvent* event) {
  const auto* field = qobject_cast<QLineEdit*>(event->object());
  if (!field || !hasSurrogates(field->text())) return nullptr;
  const QString text = field->text();
  QAccessibleInterface* iface = event->accessibleInterface();
  if (!iface) return nullptr;
  const auto points = [&](int units) { return pointsBefore(text, units); };
  // What comes before a change stands unchanged in the text after it, so
  // the field's text now counts the characters before its position.
  std::unique_ptr<QAccessibleTextCursorEvent> told;
  switch (event->type()) {
    case QAccessible::TextCaretMoved:
      told = std::make_unique<QAccessibleTextCursorEvent>(iface, 0);
      break;
    case QAccessible::TextSelectionChanged: {
      const auto* selection = static_cast<QAccessibleTextSelectionEvent*>(event);
      told = std::make_unique<QAccessibleTextSelectionEvent>(iface, points(selection->selectionStart()),
                                                             points(selection->selectionEnd()));
      break;
    }
    case QAccessible::TextInserted: {
      const auto* inserted = static_cast<QAccessibleTextInsertEvent*>(event);
      told = std::make_unique<QAccessibleTextInsertEvent>(iface, points(inserted->changePosition()),
                                                          inserted->textInserted());
      break;
    }
    case QAccessible::TextRemoved: {
      const auto* removed = static_cast<QAccessibleTextRemoveEvent*>(event);
      told = std::make_unique<QAccessibleTextRemoveEvent>(iface, points(removed->changePosition()),
                                                          removed->textRemoved());
      break;
    }
    case QAccessible::TextUpdated: {
      const auto* updated = static_cast<QAccessibleTextUpdateEvent*>(event);
      told = std::make_unique<QAccessibleTextUpdateEvent>(iface, points(updated->changePosition()),
                                                          updated->textRemoved(), updated->textInserted());
      break;
    }
    default:
      return nullptr;
  }
  told->setCursorPosition(points(static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition()));
  return told;
}

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
    if (field()->echoMode() != QLineEdit::NoEcho) return QString(characterCount(), u'*');
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

int TextFieldAccessible::toCharacters(qsizetype units) const { return pointsBefore(field()->text(), units); }

int TextFieldAccessible::toUnits(int characters) const {
  return static_cast<int>(unitsBefore(field()->text(), characters));
}

void TextFieldAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex != 0 || !field()->hasSelectedText()) return;
  *startOffset = toCharacters(field()->selectionStart());
  *endOffset = toCharacters(field()->selectionEnd());
}

int TextFieldAccessible::selectionCount() const { return field()->hasSelectedText() ? 1 : 0; }

void TextFieldAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void TextFieldAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex == 0) field()->deselect();
}

void TextFieldAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex != 0) return;
  const int size = characterCount();
  const int start = toUnits(std::clamp(startOffset, 0, size));
  const int end = toUnits(std::clamp(endOffset, 0, size));
  field()->setSelection(start, end - start);
}

int TextFieldAccessible::cursorPosition() const { return toCharacters(field()->cursorPosition()); }

void TextFieldAccessible::setCursorPosition(int position) { field()->setCursorPosition(toUnits(position)); }

QString TextFieldAccessible::text(int startOffset, int endOffset) const {
  const QString all = readable();
  const int size = pointsBefore(all, all.size());
  if (endOffset < 0 || endOffset > size) endOffset = size;
  startOffset = std::clamp(startOffset, 0, endOffset);
  const qsizetype start = unitsBefore(all, startOffset);
  return all.mid(start, unitsBefore(all, endOffset) - start);
}

int TextFieldAccessible::characterCount() const { return toCharacters(field()->text().size()); }

QString TextFieldAccessible::around(int offset, QAccessible::TextBoundaryType type, Side side, int* startOffset,
                                    int* endOffset) const {
  const QString all = readable();
  const qsizetype size = all.size();
  if (offset == -2) offset = cursorPosition();
  if (offset == -1) offset = pointsBefore(all, size);
  *startOffset = *endOffset = -1;
  if (offset < 0 || offset > pointsBefore(all, size)) return {};
  offset = static_cast<int>(unitsBefore(all, offset));

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
  *startOffset = pointsBefore(all, piece.start);
  *endOffset = pointsBefore(all, piece.end);
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

QRect TextFieldAccessible::characterRect(int character) const {
  const QString all = readable();
  if (character < 0 || character >= pointsBefore(all, all.size())) return {};
  const qsizetype offset = unitsBefore(all, character);
  const qsizetype units = unitsBefore(all, character + 1) - offset;
  // The caret's place is known; a character stands off it by the width of
  // the text between them (the field may have scrolled).
  const QRectF caret = field()->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
  const QFontMetricsF metrics(field()->font());
  const qsizetype caretAt = std::min<qsizetype>(field()->cursorPosition(), all.size());
  const qreal left = caret.center().x() + metrics.horizontalAdvance(all.left(offset)) -
                     metrics.horizontalAdvance(all.left(caretAt));
  const qreal width = metrics.horizontalAdvance(all.mid(offset, units));
  const QRect local = QRectF(left, caret.top(), width, caret.height()).toAlignedRect();
  return QRect(field()->mapToGlobal(local.topLeft()), local.size());
}

int TextFieldAccessible::offsetAtPoint(const QPoint& point) const {
  return toCharacters(field()->cursorPositionAt(field()->mapFromGlobal(point)));
}

void TextFieldAccessible::scrollToSubstring(int startIndex, int endIndex) {
  field()->setCursorPosition(toUnits(endIndex));
  field()->setCursorPosition(toUnits(startIndex));
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
  const int start = toUnits(startOffset);
  field()->setSelection(start, toUnits(endOffset) - start);
  field()->insert(text);
}

}  // namespace murmela
