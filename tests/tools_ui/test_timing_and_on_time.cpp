// The Preset Timing window for a sample model and for a model without
// timings, and the CRT on-time box on the virtual bench.
#include <QLabel>
#include <QtTest>

#include "tools/ui/crt_on_time_box.h"
#include "tools/ui/preset_timing_dialog.h"
#include "window_bench.h"

using velmora::tools::testing::shownLine;
using velmora::tools::testing::whenModalOpens;
using velmora::tools::testing::WindowBench;
using velmora::tools::ui::PresetTimingDialog;
using velmora::tools::ui::showCrtOnTime;

namespace {

QStringList columnLines(const PresetTimingDialog& dialog, int id) {
    QStringList lines = dialog.control<QLabel>(id)->text().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty()) lines.removeLast();
    return lines;
}

}  // namespace

class TimingAndOnTimeTest : public QObject {
    Q_OBJECT
private slots:
    void presetTimingOfASampleModel();
    void presetTimingOfAModelWithoutTimings();
    void crtOnTime_data();
    void crtOnTime();
};

void TimingAndOnTimeTest::presetTimingOfASampleModel() {
    WindowBench f;
    QCOMPARE(f.program.loadModel(VELMORA_SAMPLE_MODELS_DIR "vm1795.mdl"), 1);
    bool opened = false;
    whenModalOpens<PresetTimingDialog>([&](PresetTimingDialog& dialog) {
        opened = true;
        QVERIFY2(dialog.buildError().isEmpty(), qPrintable(dialog.buildError()));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Preset Timing"));
        QCOMPARE(dialog.control<QLabel>(PresetTimingDialog::kModelNameLabel)->text(), QStringLiteral("VM-1795"));
        const QStringList left = columnLines(dialog, PresetTimingDialog::kTimingsLabel);
        const QStringList right = columnLines(dialog, PresetTimingDialog::kStandardsLabel);
        QCOMPARE(left.size(), int(f.program.model.timingCount()));
        QCOMPARE(right.size(), left.size());  // line for line
        QCOMPARE(left.first(), QStringLiteral("  0  31.47  70.09 NP  720 x  400"));
        QCOMPARE(right.first(), QStringLiteral("  2: IBM VGA2 70Hz"));
        QCOMPARE(left.last(), QStringLiteral(" 10             Not Defined..."));
        QCOMPARE(right.last(), QString());
        dialog.reject();
    });
    PresetTimingDialog::run(nullptr, f.program.model);
    QVERIFY(opened);
    QCOMPARE(int(f.bench.log.requests().size()), 0);
}

void TimingAndOnTimeTest::presetTimingOfAModelWithoutTimings() {
    WindowBench f;
    f.program.model.compileText("; [MODEL,BARE]\n      end\n");
    PresetTimingDialog dialog(f.program.model);
    QCOMPARE(dialog.control<QLabel>(PresetTimingDialog::kModelNameLabel)->text(), QStringLiteral("BARE"));
    QCOMPARE(dialog.control<QLabel>(PresetTimingDialog::kTimingsLabel)->text(),
             QStringLiteral("\n\n\nTiming is not Defined"));
    QCOMPARE(dialog.control<QLabel>(PresetTimingDialog::kStandardsLabel)->text(), QString());
}

void TimingAndOnTimeTest::crtOnTime_data() {
    QTest::addColumn<int>("tenMinuteUnits");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("linkMessage");
    QTest::addColumn<QString>("text");
    QTest::newRow("13 units") << 13 << QString() << QString() << "  2 hour(s) 10 minute(s).  ";
    QTest::newRow("monitor unplugged") << 13 << "no-monitor" << "Monitor is not Connected"
                                       << "This Monitor can't support the CRT time information";
}

void TimingAndOnTimeTest::crtOnTime() {
    QFETCH(int, tenMinuteUnits);
    QFETCH(QString, fault);
    QFETCH(QString, linkMessage);
    QFETCH(QString, text);
    WindowBench f;
    f.bench.monitor.setOnTime(static_cast<std::uint32_t>(tenMinuteUnits));
    if (!fault.isEmpty()) QVERIFY(f.bench.applyFault(fault.toStdString()).empty());

    showCrtOnTime(f.program.link, f.windowMessages);
    QCOMPARE(f.windowMessages.shown, QStringList{shownLine(text.toStdString(), "CRT on time")});
    const QStringList expectedLink =
        linkMessage.isEmpty() ? QStringList() : QStringList{shownLine(linkMessage.toStdString(), "")};
    QCOMPARE(f.linkMessages.shown, expectedLink);
}

QTEST_MAIN(TimingAndOnTimeTest)
#include "test_timing_and_on_time.moc"
