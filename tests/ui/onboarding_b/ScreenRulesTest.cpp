// The rules behind the hybrid setup, processing and contact picker screens:
// remaining time, percentages, the setup's status texts and checklist, the
// processing checklist, contact names and the contact search.
#include "screens/common/ProgressTexts.h"
#include "screens/hybridsetup/HybridSetupTexts.h"
#include "screens/picker/ContactNaming.h"
#include "screens/picker/ContactSearch.h"
#include "screens/processing/ProcessingPhases.h"
#include "support/TestRegistry.h"

#include <QLocale>
#include <QTest>

#include <limits>

using namespace murmela;

namespace {

using State = PrivacyFilterSubStep::State;

ContactSummary contact(const QString& handle, std::optional<QString> name = {}) {
  ContactSummary summary;
  summary.handle = handle;
  summary.displayName = name;
  return summary;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

}  // namespace

class ScreenRulesTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("en_US"))); }

  void remainingTime_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "1 sec";
    QTest::newRow("under half") << 0.4 << "1 sec";
    QTest::newRow("negative") << -3.0 << "1 sec";
    QTest::newRow("59.4") << 59.4 << "59 sec";
    QTest::newRow("59.5 rounds up to a minute") << 59.5 << "1 min";
    QTest::newRow("89") << 89.0 << "1 min";
    QTest::newRow("90") << 90.0 << "2 min";
    QTest::newRow("130") << 130.0 << "2 min";
    QTest::newRow("150") << 150.0 << "3 min";
    QTest::newRow("an hour, no grouping") << 3600.0 << "60 min";
    QTest::newRow("a week, no grouping") << 604800.0 << "10080 min";
    QTest::newRow("not a number") << kNaN << "1 sec";
  }
  void remainingTime() {
    QFETCH(double, seconds);
    QTEST(formatRemaining(seconds), "text");
  }

  void percent_data() {
    QTest::addColumn<double>("fraction");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << 0.0 << "0";
    QTest::newRow("almost") << 0.999 << "99";
    QTest::newRow("full") << 1.0 << "100";
    QTest::newRow("past full is not clamped") << 1.5 << "150";
    QTest::newRow("not a number") << kNaN << "0";
    QTest::newRow("infinite") << kInfinity << "0";
  }
  void percent() {
    QFETCH(double, fraction);
    QTEST(wholePercentText(fraction), "text");
  }

  void setupStatusLine_data() {
    QTest::addColumn<PrivacySetupSnapshot>("setup");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    const auto phase = [](PrivacyFilterPhase::Kind kind) { return PrivacyFilterPhase{kind, {}}; };
    using Kind = PrivacyFilterPhase::Kind;
    QTest::newRow("idle, nothing running") << PrivacySetupSnapshot::at(phase(Kind::idle), 0.0, {}) << "Preparing"
                                           << "Preparing";
    QTest::newRow("ready, nothing running")
        << PrivacySetupSnapshot::at(phase(Kind::ready), 0.0, {State::done, State::done, State::done}) << "Ready"
        << "Ready";
    QTest::newRow("host running") << PrivacySetupSnapshot::at(phase(Kind::verifying), 0.0, {State::active})
                                  << "Verifying host"
                                  << "Checking";
    QTest::newRow("runtime running, with an estimate")
        << PrivacySetupSnapshot::at(phase(Kind::installingRuntime), 0.0, {State::done, State::active}, {}, 130.0)
        << "Est. 2 min remaining"
        << "Installing";
    QTest::newRow("a non-finite estimate counts as absent")
        << PrivacySetupSnapshot::at(phase(Kind::installingRuntime), 0.0, {State::done, State::active}, {}, kNaN)
        << "Installing runtime"
        << "Installing";
    QTest::newRow("failed, the running step stays")
        << PrivacySetupSnapshot::at(PrivacyFilterPhase::failed(QStringLiteral("boom")), 0.0,
                                    {State::done, State::done, State::active})
        << "Setup failed"
        << "Testing";
    PrivacySetupSnapshot custom = PrivacySetupSnapshot::at(phase(Kind::testingRedaction), 0.0, {});
    custom.subSteps = {{QStringLiteral("extra"), QStringLiteral("Warming up"), State::active, {}},
                       {QStringLiteral("runtime"), QStringLiteral("Anything"), State::active, {}}};
    QTest::newRow("an unknown id gives its label; the first active wins") << custom << "Testing filter"
                                                                          << "Warming up";
  }
  void setupStatusLine() {
    QFETCH(PrivacySetupSnapshot, setup);
    QTEST(HybridSetupTexts::statusLeftText(setup), "left");
    QTEST(HybridSetupTexts::activeStepShortLabel(setup), "right");
  }

  void setupChecklistDetail_data() {
    QTest::addColumn<std::optional<QString>>("setupDetail");
    QTest::addColumn<std::optional<QString>>("ownDetail");
    QTest::addColumn<QStringList>("details");  // per row, "-" for none
    const std::optional<QString> none;
    const std::optional<QString> own = QStringLiteral("own");
    const std::optional<QString> driver = QStringLiteral("12 MB of 1.4 GB");
    QTest::newRow("the setup's detail goes to the active row")
        << driver << none << QStringList{"-", driver.value(), "-"};
    QTest::newRow("an empty setup detail leaves the row's own")
        << std::optional<QString>(QString()) << own << QStringList{"own", "own", "own"};
    QTest::newRow("no detail at all") << none << none << QStringList{"-", "-", "-"};
  }
  void setupChecklistDetail() {
    QFETCH(std::optional<QString>, setupDetail);
    QFETCH(std::optional<QString>, ownDetail);
    QFETCH(QStringList, details);
    PrivacySetupSnapshot setup = PrivacySetupSnapshot::at({PrivacyFilterPhase::Kind::installingRuntime, {}}, 0.0,
                                                          {State::done, State::active}, setupDetail);
    for (PrivacyFilterSubStep& step : setup.subSteps) step.detail = ownDetail;
    const QList<SetupSubStep> rows = HybridSetupTexts::checklist(setup);
    QCOMPARE(rows.size(), 3);
    QStringList shown;
    for (const SetupSubStep& row : rows) shown.append(row.detail.value_or(QStringLiteral("-")));
    QCOMPARE(shown, details);
    QVERIFY(rows[0].done && !rows[0].active);
    QVERIFY(!rows[1].done && rows[1].active);
    QVERIFY(!rows[2].done && !rows[2].active);
    QCOMPARE(rows[1].label, QStringLiteral("Installing Murmela privacy filter"));
  }

  void processingChecklist_data() {
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("states");  // d done, a active, p pending
    const int hybrid = int(IntelligenceChoice::hybrid);
    const int cloud = int(IntelligenceChoice::cloud);
    QTest::newRow("hybrid start") << int(AnalysisStage::readingMessages) << hybrid << "apppp";
    QTest::newRow("hybrid anonymizing") << int(AnalysisStage::anonymizing) << hybrid << "ddapp";
    QTest::newRow("hybrid last") << int(AnalysisStage::generatingSummary) << hybrid << "dddda";
    QTest::newRow("cloud tone") << int(AnalysisStage::analyzingTone) << cloud << "ddap";
    QTest::newRow("cloud anonymizing falls back to the first") << int(AnalysisStage::anonymizing) << cloud << "appp";
    QTest::newRow("cloud last") << int(AnalysisStage::generatingSummary) << cloud << "ddda";
  }
  void processingChecklist() {
    QFETCH(int, stage);
    QFETCH(int, choice);
    const QList<PhaseEntry> phases =
        processingPhases(static_cast<AnalysisStage>(stage), 12345, static_cast<IntelligenceChoice>(choice));
    QString states;
    for (const PhaseEntry& phase : phases) states += phase.done ? 'd' : phase.active ? 'a' : 'p';
    QTEST(states, "states");
  }

  void processingTexts_data() {
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QStringList>("texts");  // reading summary, third line, anonymizing summary, its first line
    QTest::newRow("grouped count") << qint64(12345)
                                   << QStringList{"Loading 12,345 messages", "Decoding 12,345 little things\u2026",
                                                  "Anonymizing 12,345 messages", "Anonymizing 12,345 messages\u2026"};
    QTest::newRow("one keeps the plural") << qint64(1)
                                          << QStringList{"Loading 1 messages", "Decoding 1 little things\u2026",
                                                         "Anonymizing 1 messages", "Anonymizing 1 messages\u2026"};
    const QStringList numberless{"Loading messages", "Decoding little things\u2026", "Anonymizing messages",
                                 "Anonymizing messages\u2026"};
    QTest::newRow("zero") << qint64(0) << numberless;
    QTest::newRow("negative") << qint64(-4) << numberless;
  }
  void processingTexts() {
    QFETCH(qint64, count);
    const QList<PhaseEntry> phases =
        processingPhases(AnalysisStage::readingMessages, count, IntelligenceChoice::hybrid);
    QCOMPARE(phases.size(), 5);
    QTEST((QStringList{phases[0].spec.summary, phases[0].spec.activePool[2], phases[2].spec.summary,
                       phases[2].spec.activePool[0]}),
          "texts");
  }

  void phaseRowLabel_data() {
    QTest::addColumn<bool>("active");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QString>("label");
    QTest::newRow("pending shows the summary") << false << 1 << "Reading between the lines";
    QTest::newRow("active starts with the first line") << true << 0 << "Reading between the lines\u2026";
    QTest::newRow("the second") << true << 1 << "Asking the AI what 'k' means\u2026";
    QTest::newRow("after the last, the first again") << true << 4 << "Reading between the lines\u2026";
  }
  void phaseRowLabel() {
    QFETCH(bool, active);
    QFETCH(int, rotation);
    PhaseEntry entry = processingPhases(AnalysisStage::readingMessages, 3, IntelligenceChoice::cloud)[2];
    entry.active = active;
    QTEST(entry.displayLabel(rotation), "label");
  }

  void defaultName_data() {
    QTest::addColumn<QString>("handle");
    QTest::addColumn<std::optional<QString>>("name");
    QTest::addColumn<QString>("expected");
    const std::optional<QString> none;
    QTest::newRow("hyphen") << "+15550001" << std::optional<QString>("Mary-Jane Watson") << "Mary";
    QTest::newRow("en dash") << "+15550001" << std::optional<QString>("Mary\u2013Jane Watson") << "Mary";
    QTest::newRow("em dash") << "+15550001" << std::optional<QString>("Mary\u2014Jane") << "Mary";
    QTest::newRow("leading blanks and a line break") << "x" << std::optional<QString>("  \n Anna Lopez") << "Anna";
    QTest::newRow("no name: the handle whole") << "anna@example.com" << none << "anna@example.com";
    QTest::newRow("empty name: the handle") << "+15550001" << std::optional<QString>("") << "+15550001";
    QTest::newRow("a handle with a hyphen") << "anna-lopez@example.com" << none << "anna";
    QTest::newRow("only separators") << "x" << std::optional<QString>(" - ") << "-";
    QTest::newRow("only blanks") << "+15550001" << std::optional<QString>("   ") << "";
  }
  void defaultName() {
    QFETCH(QString, handle);
    QFETCH(std::optional<QString>, name);
    QTEST(defaultDisplayName(contact(handle, name)), "expected");
  }

  void confirmedName_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trimmed, inner blanks kept") << "  Mary Jane  "
                                                << "Mary Jane";
    QTest::newRow("emptied falls back to the default") << ""
                                                       << "Mary";
    QTest::newRow("blanks fall back to the default") << " \t "
                                                     << "Mary";
  }
  void confirmedName() {
    QFETCH(QString, typed);
    QTEST(finalizedContactName(typed, contact(QStringLiteral("h"), QStringLiteral("Mary-Jane Watson"))), "expected");
  }

  void initials_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("initials");
    QTest::newRow("first two words") << "Anna Maria Lopez"
                                     << "AM";
    QTest::newRow("case kept") << "anna"
                               << "a";
    QTest::newRow("phone handle") << "+15550001"
                                  << "+";
    QTest::newRow("doubled blanks") << "  Zoë   Ng "
                                    << "ZN";
    QTest::newRow("a flag is one character") << "\U0001F1EB\U0001F1F7 Team"
                                             << "\U0001F1EB\U0001F1F7T";
    QTest::newRow("only blanks") << "   "
                                 << "";
    QTest::newRow("a tab is not a split") << "Ann\tLee"
                                          << "A";
  }
  void initials() {
    QFETCH(QString, name);
    QTEST(contactInitials(name), "initials");
  }

  void search_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("handles");
    const QStringList all{"+15550001", "anna@example.com", "+15557777", "bo", "x"};
    QTest::newRow("empty lists all in order") << "" << all;
    QTest::newRow("name, any case") << "ANNA" << QStringList{"+15550001", "anna@example.com"};
    QTest::newRow("handle only") << "7777" << QStringList{"+15557777"};
    QTest::newRow("a blank is not trimmed") << " " << QStringList{"+15550001", "+15557777", "bo"};
    QTest::newRow("accented letters fold their case") << "ZOË" << QStringList{"+15557777"};
    QTest::newRow("decomposed finds composed") << "zoe\u0308" << QStringList{"+15557777"};
    QTest::newRow("accents count") << "zoe" << QStringList{};
    QTest::newRow("full case folding") << "STRASSE" << QStringList{"bo"};
    QTest::newRow("an empty name is searched as its handle") << "x" << QStringList{"anna@example.com", "x"};
  }
  void search() {
    QFETCH(QString, query);
    const QList<ContactSummary> contacts{
        contact(QStringLiteral("+15550001"), QStringLiteral("Anna Lopez")), contact(QStringLiteral("anna@example.com")),
        contact(QStringLiteral("+15557777"), QStringLiteral("Zo\u00EB Ng")),
        contact(QStringLiteral("bo"), QStringLiteral("Stra\u00DFe Bo")), contact(QStringLiteral("x"), QString())};
    QStringList handles;
    for (const ContactSummary& kept : ContactSearch(query).filter(contacts)) handles.append(kept.handle);
    QTEST(handles, "handles");
  }
};

MURMELA_TEST(ScreenRulesTest)
#include "ScreenRulesTest.moc"
