// The intelligence screen: the cards, notice and pill for each capability
// and choice, the card looks, every action through the coordinator, and the
// runtime setup help sheet it presents.
#include "ScreenTestSupport.h"
#include "screens/intelligence/IntelligenceView.h"
#include "sheets/PythonInstallHelpSheet.h"
#include "shell/ScreenHosts.h"
#include "support/TestRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

Q_DECLARE_METATYPE(murmela::HybridPrivacyCapability)
Q_DECLARE_METATYPE(murmela::IntelligenceChoice)

namespace {

const HybridPrivacyCapability kAvailable = HybridPrivacyCapability::available(QStringLiteral("0.1.1"));
const HybridPrivacyCapability kAppleSilicon = HybridPrivacyCapability::requiresAppleSilicon();
const HybridPrivacyCapability kMissing = HybridPrivacyCapability::pythonMissing();

}  // namespace

class IntelligenceViewTest : public ScreenTest {
  Q_OBJECT

 private Q_SLOTS:
  void states_data() {
    QTest::addColumn<HybridPrivacyCapability>("capability");
    QTest::addColumn<IntelligenceChoice>("choice");
    QTest::addColumn<bool>("hybridSelected");
    QTest::addColumn<bool>("hybridDisabled");
    QTest::addColumn<bool>("runtimeButton");
    QTest::addColumn<QString>("reason");  // empty: no notice
    QTest::addColumn<QString>("pill");
    const QString local = QStringLiteral("LOCAL PRIVACY · CLOUD ANALYSIS");
    const QString cloud = QStringLiteral("CLOUD PROCESSING");
    QTest::newRow("hybrid available and chosen")
        << kAvailable << IntelligenceChoice::hybrid << true << false << false << "" << local;
    QTest::newRow("cloud chosen where hybrid runs")
        << kAvailable << IntelligenceChoice::cloud << false << false << false << "" << cloud;
    QTest::newRow("not Apple Silicon")
        << kAppleSilicon << IntelligenceChoice::hybrid << false << true << false
        << "Hybrid Intelligence requires Apple Silicon. You can still use cloud analysis." << cloud;
    QTest::newRow("runtime missing") << kMissing << IntelligenceChoice::hybrid << false << true << true
                                     << "Murmela's privacy runtime is not installed yet. Build or download it to "
                                        "enable Hybrid Intelligence."
                                     << cloud;
    QTest::newRow("runtime too old") << HybridPrivacyCapability::pythonTooOld("3.9.6") << IntelligenceChoice::cloud
                                     << false << true << true
                                     << "The local privacy runtime is out of date. Found 3.9.6." << cloud;
  }
  void states() {
    QFETCH(HybridPrivacyCapability, capability);
    QFETCH(IntelligenceChoice, choice);
    QFETCH(bool, hybridSelected);
    QFETCH(bool, hybridDisabled);
    QFETCH(bool, runtimeButton);
    QFETCH(QString, reason);
    QFETCH(QString, pill);
    harness().fakes.capabilities = {capability};
    AppCoordinator& coordinator = harness().make();
    coordinator.selectIntelligence(choice);
    IntelligenceView view(hostsOf(coordinator));
    const IntelligenceView::Layout layout = view.layout();
    QCOMPARE(layout.hybrid.selected, hybridSelected);
    QCOMPARE(layout.hybrid.disabled, hybridDisabled);
    QCOMPARE(layout.cloud.selected, !hybridSelected);
    QVERIFY(layout.hybridLayout.hasBadge);
    QVERIFY(!layout.cloudLayout.hasBadge);
    QCOMPARE(layout.hasNotice, !reason.isEmpty());
    QCOMPARE(layout.runtimeSetup.has_value(), runtimeButton);
    // Pill and buttons keep their places with or without the notice; the
    // notice never reaches into the cards or the pill.
    QCOMPARE(layout.pill.rect.top(), 596.0);
    QCOMPARE(layout.continueRect.center().y(), layout.back.center().y());
    QVERIFY(layout.continueRect.top() >= 706.0 && layout.back.top() >= 706.0);
    if (layout.hasNotice) {
      QVERIFY(layout.reasonRect.top() >= 532.0);
      QVERIFY(layout.reasonRect.top() > layout.cloudLayout.card.bottom());
      QVERIFY(layout.runtimeSetup.value_or(layout.reasonRect).bottom() < layout.pill.rect.top());
      QVERIFY(!layout.reason.elided);
    }

    const auto recorder = record([&](QPainter& painter) { view.paintScreen(painter); });
    if (!reason.isEmpty()) QCOMPARE(layout.reason.shownText().simplified(), reason);
    const std::optional<PaintRecord> pillLine = recorder->firstText(pill);
    QVERIFY(pillLine);
    QCOMPARE(pillLine->color.rgb(),
             (pill == QStringLiteral("CLOUD PROCESSING") ? MurmelaTheme::rose : MurmelaTheme::sageDeep).rgb());
  }

  // The card looks: fill, outline and opacity of the whole card.
  void cardLooks_data() {
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("disabled");
    QTest::addColumn<qreal>("outlineWidth");
    QTest::addColumn<qreal>("outlineAlpha");
    QTest::addColumn<qreal>("opacity");
    QTest::newRow("selected") << true << false << 1.5 << 1.0 << 1.0;
    QTest::newRow("unselected") << false << false << 1.0 << 0.18 << 1.0;
    QTest::newRow("disabled") << false << true << 1.0 << 0.18 << 0.5;
    QTest::newRow("selected and disabled") << true << true << 1.5 << 1.0 << 0.5;
  }
  void cardLooks() {
    QFETCH(bool, selected);
    QFETCH(bool, disabled);
    QFETCH(qreal, outlineWidth);
    QFETCH(qreal, outlineAlpha);
    QFETCH(qreal, opacity);
    const IntelligenceCard card{
        IntelligenceCard::Kind::hybrid, "Hybrid intelligence", "sub", true, selected, disabled, {"one", "two"}};
    const IntelligenceCard::Layout layout = card.layout(QPointF(24, 275), 342);
    const auto recorder = record([&](QPainter& painter) { card.paint(painter, layout, {}); });
    const auto outlines = recorder->where([&](const PaintRecord& record) {
      return record.stroke && record.bounds.width() > 300 &&
             record.strokeColor()->rgb() == MurmelaTheme::sageDeep.rgb();
    });
    QCOMPARE(outlines.size(), 1);
    QCOMPARE(outlines.first().stroke->widthF(), outlineWidth);
    QCOMPARE(qRound(outlines.first().strokeColor()->alphaF() * 100), qRound(outlineAlpha * 100));
    QCOMPARE(outlines.first().opacity, opacity);
    QCOMPARE(recorder->filledWith(MurmelaTheme::creamDeep).size(), selected ? 1 : 0);
    const auto tiles = recorder->where([&](const PaintRecord& record) {
      return record.fillColor() && record.bounds.toAlignedRect() == layout.icon.toAlignedRect();
    });
    QCOMPARE(tiles.size(), 1);
    QCOMPARE(tiles.first().opacity, opacity * (disabled ? 0.4 : 1.0));
  }

  // Tapping a card selects its mode, except the hybrid card where it cannot run.
  void tapCards_data() {
    QTest::addColumn<HybridPrivacyCapability>("capability");
    QTest::addColumn<IntelligenceChoice>("before");
    QTest::addColumn<int>("card");
    QTest::addColumn<IntelligenceChoice>("after");
    QTest::newRow("cloud card") << kAvailable << IntelligenceChoice::hybrid << int(IntelligenceView::cloudCard)
                                << IntelligenceChoice::cloud;
    QTest::newRow("hybrid card") << kAvailable << IntelligenceChoice::cloud << int(IntelligenceView::hybridCard)
                                 << IntelligenceChoice::hybrid;
    QTest::newRow("disabled hybrid card")
        << kAppleSilicon << IntelligenceChoice::cloud << int(IntelligenceView::hybridCard) << IntelligenceChoice::cloud;
  }
  void tapCards() {
    QFETCH(HybridPrivacyCapability, capability);
    QFETCH(IntelligenceChoice, before);
    QFETCH(int, card);
    QFETCH(IntelligenceChoice, after);
    harness().fakes.capabilities = {capability};
    AppCoordinator& coordinator = harness().make();
    coordinator.selectIntelligence(before);
    const int checks = harness().fakes.capabilityChecks;
    IntelligenceView view(hostsOf(coordinator));
    const IntelligenceView::Layout layout = view.layout();
    clickAt(view, card == IntelligenceView::cloudCard ? layout.cloudLayout.card : layout.hybridLayout.card);
    QCOMPARE(coordinator.intelligenceChoice(), after);
    // A live card goes through selectIntelligence, which detects the capability again.
    QCOMPARE(harness().fakes.capabilityChecks > checks,
             capability.isAvailable() || card == IntelligenceView::cloudCard);
    // A card's lines are read as sentences, one stop each.
    const QString details = view.buttonHost().target(card)->description;
    QVERIFY2(!details.contains(QStringLiteral("..")), qPrintable(details));
    QVERIFY(details.contains(card == IntelligenceView::cloudCard
                                 ? QStringLiteral("by cloud AI model. Murmela does not store")
                                 : QStringLiteral("before cloud analysis. Uses a one-time")));
  }

  // Continue commits the choice (always enabled); Back drops a pending CSV import.
  void continueAndBack_data() {
    QTest::addColumn<HybridPrivacyCapability>("capability");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("screen");
    QTest::newRow("Continue, cloud where hybrid cannot run") << kAppleSilicon << "continue"
                                                             << "permissions";
    QTest::newRow("Continue, hybrid") << kAvailable << "continue"
                                      << "hybridSetup";
    QTest::newRow("Back") << kAvailable << "back"
                          << "welcome";
  }
  void continueAndBack() {
    QFETCH(HybridPrivacyCapability, capability);
    QFETCH(QString, button);
    QFETCH(QString, screen);
    harness().fakes.capabilities = {capability};
    AppCoordinator& coordinator = harness().make();
    coordinator.setScreen(AppScreen::intelligence());
    coordinator.setPendingCSVDebugImport(PendingCSVDebugImport{QStringLiteral("/tmp/chat.csv"), QStringLiteral("Me")});
    IntelligenceView view(hostsOf(coordinator));
    const IntelligenceView::Layout layout = view.layout();
    clickAt(view, button == "back" ? layout.back : layout.continueRect);
    QCOMPARE(screenName(coordinator), screen);
    if (button == "back") {
      QVERIFY(!coordinator.pendingCSVDebugImport());
    } else {
      QTRY_COMPARE(harness().fakes.analytics->choices(), QList<IntelligenceChoice>{coordinator.intelligenceChoice()});
    }
  }

  // "Show runtime setup" presents the help sheet; each way of closing it
  // clears the coordinator's flag.
  void helpSheet_data() {
    QTest::addColumn<QString>("close");
    QTest::newRow("round close button") << "xmark";
    QTest::newRow("Done") << "done";
    QTest::newRow("Esc") << "escape";
  }
  void helpSheet() {
    QFETCH(QString, close);
    harness().fakes.capabilities = {kMissing};
    AppCoordinator& coordinator = harness().make();
    IntelligenceView view(hostsOf(coordinator));
    view.show();
    QVERIFY(!view.helpSheet());
    clickAt(view, *view.layout().runtimeSetup);
    QVERIFY(coordinator.pythonInstallHelpVisible());
    PythonInstallHelpSheet* sheet = view.helpSheet();
    QVERIFY(sheet);
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    QCOMPARE(sheet->width(), 430);
    QCOMPARE(sheet->buildCommand(), QStringLiteral("Scripts/build-privacy-runtime.sh"));
    if (close == "escape") {
      QTest::keyClick(sheet, Qt::Key_Escape);
    } else {
      clickAt(*sheet, close == "xmark" ? sheet->layout().close : sheet->layout().done);
    }
    QVERIFY(!coordinator.pythonInstallHelpVisible());
    QVERIFY(!view.helpSheet());
    // Presented again, it is a fresh sheet with the same content.
    coordinator.showPythonInstallHelp();
    QVERIFY(view.helpSheet());
    QCOMPARE(view.helpSheet()->layout().height, sheet->layout().height);
  }

  // The copy leaves exactly the command on the clipboard, as plain text only.
  void copyBuildCommand() {
    auto* earlier = new QMimeData;
    earlier->setHtml(QStringLiteral("<b>earlier</b>"));
    earlier->setText(QStringLiteral("earlier"));
    QGuiApplication::clipboard()->setMimeData(earlier);
    PythonInstallHelpSheet sheet(IntelligenceView::kBuildCommand);
    QCOMPARE(sheet.commandLabel()->text(), IntelligenceView::kBuildCommand);
    QCOMPARE(sheet.commandLabel()->textFormat(), Qt::PlainText);
    QVERIFY(sheet.commandLabel()->textInteractionFlags() & Qt::TextSelectableByMouse);
    clickAt(sheet, sheet.layout().copy);
    const QMimeData* now = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(now->formats(), QStringList{QStringLiteral("text/plain")});
    QCOMPARE(now->text(), QStringLiteral("Scripts/build-privacy-runtime.sh"));
  }
};

MURMELA_TEST(IntelligenceViewTest)
#include "IntelligenceViewTest.moc"
