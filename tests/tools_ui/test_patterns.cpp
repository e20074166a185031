// The test patterns, pixel by pixel at a mode's size, and the Patterns
// window driving a recording stand-in of the graphics card with its keys.
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "model/model_description.h"
#include "platform/recording_mode_setter.h"
#include "tools/edid_input.h"
#include "tools/ui/pattern_show.h"
#include "tools/ui/patterns_dialog.h"
#include "tools/ui/test_patterns.h"

using namespace velmora::tools::ui;
using velmora::platform::RecordingModeSetter;

namespace {

struct Pixel {
    QPoint at;
    QRgb colour;
};
using Pixels = QList<Pixel>;

constexpr QRgb kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
               kYellow = 0xFFFFFF00, kLow = 0xFF333333;

}  // namespace

Q_DECLARE_METATYPE(TestPattern)

class PatternsTest : public QObject {
    Q_OBJECT
private slots:
    void pixels_data();
    void pixels();
    void everyPatternFillsTheModeAndNamesItselfWhenAsked();
    void windowStepsModesAndPatternsAndPutsTheModeBack();
    void aModeOutsideTheMonitorsRangesIsSetOnlyWhenForcedAndConfirmed_data();
    void aModeOutsideTheMonitorsRangesIsSetOnlyWhenForcedAndConfirmed();
};

void PatternsTest::pixels_data() {
    QTest::addColumn<TestPattern>("pattern");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Pixels>("pixels");
    // 1024 x 768: the crosshatch's lines every 64 pixels both ways, the
    // centre lines doubled (511-512, 383-384), the last on the last pixel.
    QTest::newRow("crosshatch") << TestPattern::Crosshatch << QSize(1024, 768)
                                << Pixels{{{0, 5}, kWhite},    {{64, 5}, kWhite},     {{65, 5}, kBlack},
                                          {{511, 5}, kWhite},  {{512, 5}, kWhite},    {{510, 5}, kBlack},
                                          {{1023, 5}, kWhite}, {{5, 383}, kWhite},    {{5, 384}, kWhite},
                                          {{5, 767}, kWhite},  {{30, 30}, kBlack},    {{5, 63}, kBlack}};
    // 1280 x 1024 on a 4:3 tube: 80-pixel columns, 85.33-line rows.
    QTest::newRow("crosshatch 5:4") << TestPattern::Crosshatch << QSize(1280, 1024)
                                    << Pixels{{{80, 3}, kWhite}, {{3, 85}, kWhite}, {{3, 171}, kWhite}, {{3, 170}, kBlack}};
    QTest::newRow("convergence-green") << TestPattern::ConvergenceGreen << QSize(800, 600)
                                       << Pixels{{{50, 3}, kGreen}, {{3, 50}, kGreen}, {{20, 20}, kBlack}};
    QTest::newRow("dots") << TestPattern::Dots << QSize(640, 480)
                          << Pixels{{{40, 40}, kWhite}, {{41, 41}, kWhite}, {{40, 45}, kBlack}, {{638, 478}, kWhite}};
    QTest::newRow("border") << TestPattern::Border << QSize(640, 480)
                            << Pixels{{{0, 200}, kWhite}, {{639, 200}, kWhite}, {{300, 0}, kWhite}, {{300, 479}, kWhite},
                                      {{1, 200}, kBlack}, {{638, 200}, kBlack}, {{300, 1}, kBlack}, {{300, 478}, kBlack}};
    // Eight bars of 128 pixels: white, yellow, cyan, green, magenta, red, blue, black.
    QTest::newRow("colour-bars") << TestPattern::ColourBars << QSize(1024, 768)
                                 << Pixels{{{64, 400}, kWhite}, {{192, 400}, kYellow}, {{448, 400}, kGreen},
                                           {{704, 400}, kRed}, {{832, 400}, kBlue}, {{960, 400}, kBlack}};
    QTest::newRow("purity-blue") << TestPattern::PurityBlue << QSize(640, 480)
                                 << Pixels{{{0, 0}, kBlue}, {{639, 479}, kBlue}};
    QTest::newRow("grey-window-low") << TestPattern::GreyWindowLow << QSize(900, 600)
                                     << Pixels{{{450, 300}, kLow}, {{299, 300}, kBlack}, {{300, 300}, kLow},
                                               {{599, 399}, kLow}, {{600, 300}, kBlack}};
    QTest::newRow("grey-steps") << TestPattern::GreySteps << QSize(800, 600)
                                << Pixels{{{10, 10}, kBlack}, {{790, 10}, kWhite}, {{110, 10}, 0xFF242424}};
    QTest::newRow("moire") << TestPattern::Moire << QSize(640, 480)
                           << Pixels{{{0, 10}, kWhite}, {{1, 10}, kBlack}, {{2, 10}, kWhite},
                                     {{10, 240}, kWhite}, {{10, 241}, kBlack}, {{10, 242}, kWhite}};
    QTest::newRow("circles") << TestPattern::Circles << QSize(1024, 768)
                             << Pixels{{{511, 0}, kWhite}, {{700, 100}, kBlack}};
}

void PatternsTest::pixels() {
    QFETCH(TestPattern, pattern);
    QFETCH(QSize, size);
    QFETCH(Pixels, pixels);
    const QImage image = renderTestPattern(pattern, size, QString());
    QCOMPARE(image.size(), size);
    for (const Pixel& pixel : pixels) {
        const QRgb actual = image.pixel(pixel.at);
        if (actual != pixel.colour) {
            QFAIL(qPrintable(QStringLiteral("at (%1, %2): %3 instead of %4")
                                 .arg(pixel.at.x())
                                 .arg(pixel.at.y())
                                 .arg(actual, 8, 16)
                                 .arg(pixel.colour, 8, 16)));
        }
    }
}

void PatternsTest::everyPatternFillsTheModeAndNamesItselfWhenAsked() {
    const QSize size(800, 600);
    for (const TestPatternName& entry : testPatterns()) {
        QCOMPARE(findTestPattern(entry.name), std::optional(entry.pattern));
        const QImage plain = renderTestPattern(entry.pattern, size, QString());
        const QImage named = renderTestPattern(entry.pattern, size, QStringLiteral("crosshatch 800x600"));
        QCOMPARE(plain.size(), size);
        // The caption changes the top-left corner only.
        QVERIFY2(plain.copy(0, 0, 300, 60) != named.copy(0, 0, 300, 60), entry.name.data());
        QCOMPARE(plain.copy(0, 200, 800, 400), named.copy(0, 200, 800, 400));
    }
    QVERIFY(!findTestPattern("plaid"));
}

void PatternsTest::windowStepsModesAndPatternsAndPutsTheModeBack() {
    auto model = std::make_unique<velmora::model::ModelDescription>();
    model->modelPath = VELMORA_SAMPLE_MODELS_DIR "vm1795.mdl";
    QCOMPARE(model->loadModelFile(), 1);
    RecordingModeSetter* card = nullptr;
    PatternsDialog::SetterMaker maker = [&card](QString&) {
        auto setter = std::make_unique<RecordingModeSetter>();
        setter->outputs["VGA-1"].mode.name = "desktop";
        card = setter.get();
        return std::unique_ptr<velmora::platform::ModeSetter>(std::move(setter));
    };
    PatternsDialog dialog(*model, nullptr, maker, [](const QString&) { return false; });
    dialog.QDialog::show();
    QVERIFY(card != nullptr);
    auto* modes = dialog.findChild<QListWidget*>();
    QVERIFY(modes != nullptr);
    const auto all = velmora::tools::modelModes(*model);
    const auto name = [&](int line) { return "set VGA-1 " + all.at(std::size_t(line)).mode->name; };

    modes->setCurrentRow(0);
    QTest::keyClick(modes, Qt::Key_Return);
    QVERIFY(dialog.patternShow() && dialog.patternShow()->showing());
    QTest::keyClick(modes, Qt::Key_PageDown);
    QCOMPARE(dialog.patternShow()->modeIndex(), 1);
    QTest::keyClick(modes, Qt::Key_Space);
    QCOMPARE(dialog.patternShow()->pattern(), TestPattern::Dots);
    QTest::keyClick(modes, Qt::Key_PageUp);
    QTest::keyClick(modes, Qt::Key_Escape);
    QVERIFY(!dialog.patternShow()->showing());
    QVERIFY(dialog.isVisible());  // Esc ends the pattern, not the window
    const std::vector<std::string> expected{name(0), name(1), name(0), "restore VGA-1 desktop"};
    QCOMPARE(card->record, expected);
    QCOMPARE(card->outputs["VGA-1"].mode.name, std::string("desktop"));
}

void PatternsTest::aModeOutsideTheMonitorsRangesIsSetOnlyWhenForcedAndConfirmed_data() {
    QTest::addColumn<bool>("allowed");  // the check box
    QTest::addColumn<bool>("answer");   // to the question
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("set");
    QTest::newRow("not allowed") << false << true << false << false;
    QTest::newRow("allowed, answered no") << true << false << true << false;
    QTest::newRow("allowed, answered yes") << true << true << true << true;
}

void PatternsTest::aModeOutsideTheMonitorsRangesIsSetOnlyWhenForcedAndConfirmed() {
    QFETCH(bool, allowed);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(bool, set);
    auto model = std::make_unique<velmora::model::ModelDescription>();
    model->modelPath = VELMORA_SAMPLE_MODELS_DIR "vm1795.mdl";
    QCOMPARE(model->loadModelFile(), 1);
    RecordingModeSetter* card = nullptr;
    // The monitor's EDID allows 30-70 kHz, 48-120 Hz and 60 MHz: mode 8
    // (1024x768 at 85 Hz, 94.5 MHz) lies outside, mode 1 (VGA) inside.
    PatternsDialog::SetterMaker maker = [&card](QString&) {
        auto setter = std::make_unique<RecordingModeSetter>();
        setter->outputs["VGA-1"].edid = velmora::tools::readEdidFile(VELMORA_EDID_BLOCKS_DIR "crt15_v13_ones.hex").bytes;
        card = setter.get();
        return std::unique_ptr<velmora::platform::ModeSetter>(std::move(setter));
    };
    bool questioned = false;
    PatternsDialog dialog(*model, nullptr, maker, [&](const QString& question) {
        questioned = true;
        return answer && question.contains(QStringLiteral("a pixel clock of 94.50 MHz is above 60 MHz"));
    });
    dialog.findChild<QCheckBox*>()->setChecked(allowed);
    auto* modes = dialog.findChild<QListWidget*>();
    modes->setCurrentRow(8);
    QTest::keyClick(modes, Qt::Key_Return);
    QCOMPARE(questioned, asked);
    QCOMPARE(card->record.size(), set ? 1u : 0u);
    if (!allowed) QVERIFY2(dialog.status().contains(QStringLiteral("mode 8 is refused")), qPrintable(dialog.status()));
    // Inside the ranges nothing is asked (Show: Enter would keep a mode
    // waiting to be kept).
    questioned = false;
    modes->setCurrentRow(1);
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("Show")) button->click();
    }
    QVERIFY(!questioned);
    QCOMPARE(card->record.back(), "set VGA-1 " + velmora::tools::modelModes(*model)[1].mode->name);
}

QTEST_MAIN(PatternsTest)
#include "test_patterns.moc"
