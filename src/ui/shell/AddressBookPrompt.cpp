#include "shell/AddressBookPrompt.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace murmela {
namespace {

// A path under the home folder written with a leading tilde.
QString shortPath(const QString& path) {
  const QString home = QDir::homePath();
  if (path == home) return QStringLiteral("~");
  if (path.startsWith(home + QLatin1Char('/'))) return QStringLiteral("~") + path.mid(home.size());
  return path;
}

}  // namespace

VCardContactStore::Prompt addressBookPrompt(QWidget* parent) {
  return [guard = QPointer<QWidget>(parent)](const std::optional<QString>& suggestedFolder) -> std::optional<QString> {
    QMessageBox box(guard.data());
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("Contacts"));
    box.setTextFormat(Qt::PlainText);
    box.setText(QStringLiteral("Murmela can show your contacts' names beside your conversations."));
    box.setInformativeText(
        QStringLiteral("Choose an address book: a vCard file (.vcf) or a folder of vCard files. "
                       "It is read on this computer only."));
    QPushButton* suggested = nullptr;
    if (suggestedFolder) {
      suggested = box.addButton(QStringLiteral("Use %1").arg(shortPath(*suggestedFolder)), QMessageBox::AcceptRole);
    }
    QPushButton* file = box.addButton(QStringLiteral("Choose File…"), QMessageBox::ActionRole);
    QPushButton* folder = box.addButton(QStringLiteral("Choose Folder…"), QMessageBox::ActionRole);
    QPushButton* notNow = box.addButton(QStringLiteral("Not Now"), QMessageBox::RejectRole);
    box.setDefaultButton(suggested ? suggested : file);
    box.setEscapeButton(notNow);
    box.exec();

    const QString start = suggestedFolder.value_or(QDir::homePath());
    QString chosen;
    if (box.clickedButton() == suggested && suggested) {
      chosen = *suggestedFolder;
    } else if (box.clickedButton() == file) {
      chosen = QFileDialog::getOpenFileName(guard.data(), QStringLiteral("Choose an address book"), start,
                                            QStringLiteral("vCard files (*.vcf *.vcard)"));
    } else if (box.clickedButton() == folder) {
      chosen = QFileDialog::getExistingDirectory(guard.data(), QStringLiteral("Choose a folder of vCard files"), start);
    }
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
  };
}

}  // namespace murmela
