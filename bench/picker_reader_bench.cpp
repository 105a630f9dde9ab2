// What the contact picker's keys cost, and what telling screen readers adds,
// beside a stock QListView over a QSortFilterProxyModel of the same rows
// with a QLineEdit filter driven by the same keys.
//
//   picker_reader_bench [--chats N[,N...]] [--other P[,P...]] [--runs R] [--rounds K]
//
// --other: the share (in percent) of chats whose name holds emoji, Chinese,
// Japanese, Arabic or Cyrillic letters, as a list kept in those scripts
// would; 0 and 90 by default. Every configuration (chats, share, side) runs
// in a process of its own, so that each side's peak memory (VmHWM) is its
// own; the two sides' processes take turns, K rounds of R passes each
// (medians). The machine's load is printed before and after each
// configuration.
//
// Accessibility active and an update handler that counts the events sent
// (nothing reaches the bus): under xcb with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
// on a session bus, e.g.
//   QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 dbus-run-session xvfb-run -a picker_reader_bench -platform xcb
// The key script: arrival, "7" (a digit of the handle or the number of about
// a third of the chats, alike in both sets of names) and BackSpace, "z" (one
// Latin chat in twenty keeps) and BackSpace, Tab into the list, Page Down,
// End, Home, End again, then scrolled to the end "7" and BackSpace again.
// After every key the bench asks what a screen reader asks after a change
// (the child count, each shown child's role, name and state, its index and
// parent, the focus child), timed apart as "ask ms". Per key it prints the
// GUI thread's time until the event loop is idle again and the events sent.
#include "kit/access/AccessibleEvents.h"
#include "kit/controls/PlainTextField.h"
#include "screens/picker/ContactListView.h"
#include "screens/picker/ContactPickerView.h"
#include "testing/FixedPickerHost.h"
#include "theme/FontRegistry.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using namespace murmela;

namespace {

// Every first name holds an "a"; one chat in twenty has a "z" in its last name.
const char* const kFirst[] = {"Sam", "Alex", "Maria", "Dana", "Jamal", "Ana", "Kai", "Lara", "Omar", "Tara"};
const char* const kLast[] = {"Rivera", "Chen", "Okafor", "Lindqvist", "Moreau", "Haddad", "Novak", "Kim", "Silva"};

// Names as a vCard folder of a Japanese, Chinese, Arabic or Russian user
// gives them, and Latin names with emoji.
const char16_t* const kOther[] = {
    u"佐藤 花子",   u"王伟",   u"محمد علي",  u"Анна Иванова",    u"Sam 🌸",
    u"鈴木 一郎",   u"李娜",   u"فاطمة حسن", u"Дмитрий Смирнов", u"Mom ❤️",
    u"高橋 さくら", u"张静 🎉", u"Лена Kim",  u"نور 😊",           u"田中 Yuki",
};

QList<ContactSummary> makeContacts(int count, int otherPercent) {
  QList<ContactSummary> contacts;
  contacts.reserve(count);
  for (int i = 0; i < count; ++i) {
    // Spread over the list: row i is in other scripts when its place in
    // every hundred falls below the share.
    const bool other = (i * 37) % 100 < otherPercent;
    QString name;
    const QString handle = QStringLiteral("+1555%1").arg(1'000'000 + i);
    if (other) {
      name = QString::fromUtf16(kOther[(i / 3) % std::size(kOther)]);
    } else {
      name = QStringLiteral("%1 %2").arg(QString::fromLatin1(kFirst[i % std::size(kFirst)]),
                                         QString::fromLatin1(kLast[(i / 10) % std::size(kLast)]));
      if (i % 20 == 7) name += QStringLiteral(" Ruiz");
    }
    name += QStringLiteral(" %1").arg(i);
    contacts.append({.handle = handle,
                     .displayName = name,
                     .messageCount = 40 + (i * 37) % 9000,
                     .firstMessage = Date::fromUnix(1'600'000'000.0 + i),
                     .lastMessage = Date::fromUnix(1'700'000'000.0 + i)});
  }
  return contacts;
}

long long eventsSent = 0;
void countEvent(QAccessibleEvent*) { ++eventsSent; }

void settle() {
  for (int round = 0; round < 3; ++round) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

// What a reader asks of one widget after a change: its children, and of the
// list the focus child and the rows around it that show.
void askLikeAReader(QAccessibleInterface* iface, int shownRows) {
  if (!iface) return;
  const int count = iface->childCount();
  QAccessibleInterface* focus = iface->focusChild();
  int from = 0, to = count;
  if (iface->role() == QAccessible::List) {
    const int at = focus ? std::max(0, iface->indexOfChild(focus)) : 0;
    from = std::max(0, at - shownRows);
    to = std::min(count, at + shownRows);
  }
  for (int index = from; index < to; ++index) {
    QAccessibleInterface* child = iface->child(index);
    if (!child) continue;
    (void)child->role();
    (void)child->text(QAccessible::Name);
    (void)child->text(QAccessible::Description);
    (void)child->state();
    (void)child->rect();
    if (child->parent()) (void)child->parent()->indexOfChild(child);
    if (child->childCount() > 0 && child->role() != QAccessible::List && child->object() == nullptr)
      for (int inner = 0; inner < child->childCount(); ++inner) (void)child->child(inner)->text(QAccessible::Name);
  }
}

struct Step {
  const char* name;
  std::function<void()> press;
};

struct Figures {
  std::vector<double> guiMs, askMs;
  long long events = 0;
};

// One side of the comparison: a window, its keys and the widgets a reader asks about.
struct Subject {
  std::unique_ptr<QWidget> window;
  std::function<void()> build;
  std::vector<Step> keys;
  std::function<std::vector<QAccessibleInterface*>()> asked;
};

double msSince(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

void measure(Subject& subject, std::vector<Figures>& figures, int shownRows) {
  const auto ask = [&](Figures& into) {
    QElapsedTimer timer;
    timer.start();
    for (QAccessibleInterface* iface : subject.asked()) askLikeAReader(iface, shownRows);
    into.askMs.push_back(msSince(timer));
  };
  eventsSent = 0;
  QElapsedTimer timer;
  timer.start();
  subject.build();
  subject.window->show();
  subject.window->activateWindow();
  if (!QTest::qWaitForWindowActive(subject.window.get())) std::fprintf(stderr, "the window did not become active\n");
  settle();
  figures[0].guiMs.push_back(msSince(timer));
  figures[0].events = eventsSent;
  ask(figures[0]);
  for (size_t key = 0; key < subject.keys.size(); ++key) {
    settle();
    eventsSent = 0;
    timer.start();
    subject.keys[key].press();
    settle();
    figures[key + 1].guiMs.push_back(msSince(timer));
    figures[key + 1].events = eventsSent;
    ask(figures[key + 1]);
  }
  subject.window.reset();
  settle();
}

double median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

QList<ContactSummary> shownContacts;

// The keys both sides are driven by, on their own field and list.
std::vector<Step> keyScript(const std::function<QWidget*()>& field, const std::function<QWidget*()>& list) {
  const auto type = [field](Qt::Key key) { return [field, key] { QTest::keyClick(field(), key); }; };
  const auto press = [list](Qt::Key key) { return [list, key] { QTest::keyClick(list(), key); }; };
  return {
      {"letter at top", type(Qt::Key_7)},
      {"BackSpace", type(Qt::Key_Backspace)},
      {"letter most miss", type(Qt::Key_Z)},
      {"BackSpace again", type(Qt::Key_Backspace)},
      {"Tab into list", type(Qt::Key_Tab)},
      {"Page Down", press(Qt::Key_PageDown)},
      {"End", press(Qt::Key_End)},
      {"Home", press(Qt::Key_Home)},
      {"End again", press(Qt::Key_End)},
      // Scrolled to the end, the field still takes what is typed at it.
      {"letter at end", type(Qt::Key_7)},
      {"BackSpace at end", type(Qt::Key_Backspace)},
  };
}

std::unique_ptr<Subject> picker() {
  auto subject = std::make_unique<Subject>();
  Subject& result = *subject;
  Subject* self = subject.get();
  result.build = [self] { self->window = std::make_unique<ContactPickerView>(fixedPickerHost(shownContacts)); };
  const auto view = [self] { return static_cast<ContactPickerView*>(self->window.get()); };
  result.keys = keyScript([view] { return view()->searchField(); }, [view] { return view()->listView(); });
  result.asked = [view] {
    return std::vector<QAccessibleInterface*>{QAccessible::queryAccessibleInterface(view()),
                                              QAccessible::queryAccessibleInterface(view()->listView())};
  };
  return subject;
}

// A stock list of the same rows: a filter field over a list view.
struct Stock : QWidget {
  explicit Stock(const QList<ContactSummary>& contacts) {
    resize(390, 844);
    auto* layout = new QVBoxLayout(this);
    field = new QLineEdit(this);
    field->setAccessibleName(QStringLiteral("Search contacts or handles"));
    list = new QListView(this);
    list->setAccessibleName(QStringLiteral("Chats"));
    layout->addWidget(field);
    layout->addWidget(list);
    model.setRowCount(static_cast<int>(contacts.size()));
    for (int row = 0; row < contacts.size(); ++row) {
      auto* item = new QStandardItem(contacts[row].displayName.value_or(contacts[row].handle));
      item->setData(contacts[row].handle, Qt::ToolTipRole);
      model.setItem(row, item);
    }
    filter.setSourceModel(&model);
    filter.setFilterCaseSensitivity(Qt::CaseInsensitive);
    list->setModel(&filter);
    list->setUniformItemSizes(true);
    list->setCurrentIndex(filter.index(0, 0));
    connect(field, &QLineEdit::textChanged, this, [this](const QString& text) { filter.setFilterFixedString(text); });
    field->setFocus();
  }
  QStandardItemModel model;
  QSortFilterProxyModel filter;
  QLineEdit* field = nullptr;
  QListView* list = nullptr;
};

std::unique_ptr<Subject> stock() {
  auto subject = std::make_unique<Subject>();
  Subject& result = *subject;
  Subject* self = subject.get();
  result.build = [self] { self->window = std::make_unique<Stock>(shownContacts); };
  const auto view = [self] { return static_cast<Stock*>(self->window.get()); };
  result.keys = keyScript([view] { return view()->field; }, [view] { return view()->list; });
  result.asked = [view] {
    return std::vector<QAccessibleInterface*>{QAccessible::queryAccessibleInterface(view()),
                                              QAccessible::queryAccessibleInterface(view()->list)};
  };
  return subject;
}

// The process's peak resident memory, in MB.
double peakMegabytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0.0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
  return 0.0;
}

QString loadAverage() {
  QFile load(QStringLiteral("/proc/loadavg"));
  if (!load.open(QIODevice::ReadOnly)) return QStringLiteral("?");
  const QList<QByteArray> parts = load.readAll().split(' ');
  return QString::fromLatin1(parts.mid(0, 3).join(' '));
}

QString argument(const QStringList& arguments, const QString& name, const QString& fallback) {
  const qsizetype at = arguments.indexOf(name);
  return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
}

QList<int> numbers(const QString& list) {
  QList<int> result;
  for (const QString& item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) result.append(item.toInt());
  return result;
}

// One side, one configuration: prints "key <name>\t<gui ms>\t<ask ms>\t<events>"
// per key and "peak <MB>".
int runChild(const QStringList& arguments) {
  FontRegistry::registerFonts();
  const bool ours = argument(arguments, QStringLiteral("--child"), {}) == QLatin1String("ours");
  const int size = argument(arguments, QStringLiteral("--chats"), QStringLiteral("2000")).toInt();
  const int other = argument(arguments, QStringLiteral("--other"), QStringLiteral("0")).toInt();
  const int runs = std::max(1, argument(arguments, QStringLiteral("--runs"), QStringLiteral("3")).toInt());

  // Counted behind the kit's routing, which puts itself in front and passes every event on.
  QAccessible::installUpdateHandler(countEvent);
  // The bridge to a screen reader's bus comes up from the event loop.
  for (QElapsedTimer waited; !QAccessible::isActive() && (!waited.isValid() || waited.elapsed() < 500);) {
    if (!waited.isValid()) waited.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  // Qt's item views and fields tell only an active platform accessibility;
  // without one (offscreen) only the kit's events are counted, through its sink.
  if (!QAccessible::isActive()) setAccessibleEventSink(countEvent);

  shownContacts = makeContacts(size, other);
  const std::unique_ptr<Subject> subject = ours ? picker() : stock();
  std::vector<Figures> figures(subject->keys.size() + 1);
  for (int run = 0; run < runs; ++run) measure(*subject, figures, /*shownRows=*/12);
  for (size_t key = 0; key < figures.size(); ++key)
    std::printf("key %s\t%.3f\t%.3f\t%lld\n", key == 0 ? "arrival" : subject->keys[key - 1].name,
                median(figures[key].guiMs), median(figures[key].askMs), figures[key].events);
  std::printf("peak %.1f\n", peakMegabytes());
  std::printf("active %d\n", QAccessible::isActive() ? 1 : 0);
  return 0;
}

struct ChildFigures {
  std::vector<std::string> keys;
  std::map<std::string, std::vector<double>> guiMs, askMs;
  std::map<std::string, long long> events;
  std::vector<double> peak;
  bool active = false;
};

bool runSide(const QString& side, int size, int other, int runs, ChildFigures& into) {
  QStringList arguments{QStringLiteral("--child"), side,
                        QStringLiteral("--chats"), QString::number(size),
                        QStringLiteral("--other"), QString::number(other),
                        QStringLiteral("--runs"),  QString::number(runs)};
  // The platform the parent was given goes to every child.
  if (const QString platform = argument(QCoreApplication::arguments(), QStringLiteral("-platform"), {});
      !platform.isEmpty())
    arguments << QStringLiteral("-platform") << platform;
  QProcess child;
  child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child.start(QCoreApplication::applicationFilePath(), arguments);
  if (!child.waitForFinished(30 * 60 * 1000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
    std::fprintf(stderr, "the %s side failed at %d chats\n", qPrintable(side), size);
    return false;
  }
  const bool first = into.keys.empty();
  for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
    if (line.startsWith("key ")) {
      const QList<QByteArray> fields = line.mid(4).split('\t');
      if (fields.size() < 4) continue;
      const std::string key = fields[0].toStdString();
      if (first) into.keys.push_back(key);
      into.guiMs[key].push_back(fields[1].toDouble());
      into.askMs[key].push_back(fields[2].toDouble());
      into.events[key] = fields[3].toLongLong();
    } else if (line.startsWith("peak ")) {
      into.peak.push_back(line.mid(5).toDouble());
    } else if (line.startsWith("active ")) {
      into.active = line.mid(7).toInt() == 1;
    }
  }
  return true;
}

int runParent(const QStringList& arguments) {
  const QList<int> sizes = numbers(argument(arguments, QStringLiteral("--chats"), QStringLiteral("2000,20000")));
  const QList<int> shares = numbers(argument(arguments, QStringLiteral("--other"), QStringLiteral("0,90")));
  const int runs = std::max(1, argument(arguments, QStringLiteral("--runs"), QStringLiteral("3")).toInt());
  const int rounds = std::max(1, argument(arguments, QStringLiteral("--rounds"), QStringLiteral("1")).toInt());

  bool warned = false;
  std::printf("%-6s %-6s %-17s | %8s %8s %7s %8s | %8s %8s %7s %8s | %6s\n", "chats", "other", "key", "ours ms",
              "ask ms", "events", "peak MB", "stock ms", "ask ms", "events", "peak MB", "ratio");
  for (const int share : shares) {
    for (const int size : sizes) {
      const QString loadBefore = loadAverage();
      ChildFigures ours, theirs;
      bool ok = true;
      for (int round = 0; round < rounds && ok; ++round) {
        // The sides take turns, and take turns going first.
        if (round % 2 == 0) {
          ok = runSide(QStringLiteral("ours"), size, share, runs, ours) &&
               runSide(QStringLiteral("stock"), size, share, runs, theirs);
        } else {
          ok = runSide(QStringLiteral("stock"), size, share, runs, theirs) &&
               runSide(QStringLiteral("ours"), size, share, runs, ours);
        }
      }
      if (!ok) return 1;
      if (!warned && !ours.active) {
        std::printf(
            "(no platform accessibility: stock events are not counted; run under xcb with "
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on a session bus for them)\n");
        warned = true;
      }
      for (const std::string& key : ours.keys) {
        const double mine = median(ours.guiMs[key]);
        const double stockMs = median(theirs.guiMs[key]);
        std::printf("%-6d %-6d %-17s | %8.2f %8.2f %7lld %8.1f | %8.2f %8.2f %7lld %8.1f | %6.1f\n", size, share,
                    key.c_str(), mine, median(ours.askMs[key]), ours.events[key], median(ours.peak), stockMs,
                    median(theirs.askMs[key]), theirs.events[key], median(theirs.peak),
                    stockMs > 0.0 ? mine / stockMs : 0.0);
      }
      std::printf("# load %s -> %s\n", qPrintable(loadBefore), qPrintable(loadAverage()));
      std::fflush(stdout);
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  bool child = false;
  for (int i = 1; i < argc; ++i) child = child || std::string_view(argv[i]) == "--child";
  if (!child) {
    QCoreApplication app(argc, argv);
    return runParent(QCoreApplication::arguments());
  }
  QApplication app(argc, argv);
  return runChild(QCoreApplication::arguments());
}
