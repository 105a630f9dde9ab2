// A stock Qt text field beside a button, nothing of Murmela's: what a screen
// reader makes of Qt's own QLineEdit, to set beside Murmela's name field.
//
//   stock-field "Sam Rivera 🌸"
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Stock field"));
  QWidget window;
  window.setWindowTitle(QStringLiteral("Stock field"));
  auto* layout = new QVBoxLayout(&window);
  auto* field = new QLineEdit(QApplication::arguments().value(1));
  field->setAccessibleName(QStringLiteral("Name"));
  layout->addWidget(field);
  layout->addWidget(new QPushButton(QStringLiteral("Other")));
  window.show();
  return QApplication::exec();
}
