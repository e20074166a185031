// Renders the tool windows on the virtual bench into PNG files:
//   tool_window_shots OUTPUT_DIR
// memory_edid.png (page 0 read, a byte shown), save_memory.png and
// preset_timing.png (the VM-1795 sample model), patterns.png (its mode 8 shown
// on a stand-in graphics card) with pattern_crosshatch.png and
// pattern_colour_bars.png, the pictures that mode gets. Exit status 1 when a
// window or a picture fails.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <cstdio>

#include "platform/qt/screenshot.h"
#include "platform/recording_mode_setter.h"
#include "tools/ui/patterns_dialog.h"
#include "tools/ui/memory_edid_dialog.h"
#include "tools/ui/preset_timing_dialog.h"
#include "tools/ui/range_boxes.h"
#include "tools/ui/save_memory_dialog.h"
#include "window_bench.h"

namespace tools = velmora::tools;
namespace qt = velmora::platform::qt;

namespace {

bool shoot(QWidget& window, const QDir& out, const char* name) {
    window.show();
    QApplication::processEvents();
    const QString path = out.filePath(QString::fromLatin1(name));
    if (!qt::saveScreenshot(window, path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool shootMemoryWindow(tools::testing::WindowBench& f, const QDir& out) {
    tools::ui::MemoryEdidDialog window(f.program, f.windowMessages, f.chooser);
    window.show();
    // Auto Reading is on, as the program starts: the first paint reads page 0.
    QElapsedTimer waited;
    waited.start();
    while (!window.logic().firstPaintDone() && waited.elapsed() < 5000) QApplication::processEvents();
    if (!window.logic().firstPaintDone()) {
        std::fprintf(stderr, "the Memory & Edid window was never painted\n");
        return false;
    }
    window.control<QLineEdit>(tools::ui::MemoryEdidDialog::kAddressBox)->setText(QStringLiteral("3A"));
    return shoot(window, out, "memory_edid.png");
}

bool shootSaveMemory(tools::testing::WindowBench& f, const QDir& out) {
    tools::ui::SaveMemoryDialog dialog(f.program.interpreter, f.windowMessages, f.chooser,
                                       tools::MemoryRange{2, 2, 0x00, 0xFF});
    dialog.control<QLineEdit>(tools::ui::kFileNameBox)->setText(QStringLiteral("/home/service/vm1795-page2.mem"));
    return shoot(dialog, out, "save_memory.png");
}

bool shootPresetTiming(tools::testing::WindowBench& f, const QDir& out) {
    if (f.program.loadModel(VELMORA_SAMPLE_MODELS_DIR "vm1795.mdl") == 0) {
        std::fprintf(stderr, "cannot compile the sample model\n");
        return false;
    }
    tools::ui::PresetTimingDialog dialog(f.program.model);
    return shoot(dialog, out, "preset_timing.png");
}

bool shootPatterns(tools::testing::WindowBench& f, const QDir& out) {
    auto maker = [](QString&) {
        auto card = std::make_unique<velmora::platform::RecordingModeSetter>();
        card->outputs["DVI-I-1"].mode.name = "desktop";
        return std::unique_ptr<velmora::platform::ModeSetter>(std::move(card));
    };
    tools::ui::PatternsDialog dialog(f.program.model, nullptr, maker);
    dialog.resize(640, 420);
    dialog.QDialog::show();
    auto* modes = dialog.findChild<QListWidget*>();
    modes->setCurrentRow(8);
    QTest::keyClick(modes, Qt::Key_Return);
    tools::ui::PatternShow* show = dialog.patternShow();
    if (show == nullptr || !show->showing()) {
        std::fprintf(stderr, "the Patterns window shows no mode: %s\n", qPrintable(dialog.status()));
        return false;
    }
    const auto& mode = *show->modes()[8].mode;
    const QSize size(mode.hDisplay, mode.vDisplay);
    bool ok = shoot(dialog, out, "patterns.png");
    for (const auto& [pattern, name] : {std::pair{tools::ui::TestPattern::Crosshatch, "pattern_crosshatch.png"},
                                        std::pair{tools::ui::TestPattern::ColourBars, "pattern_colour_bars.png"}}) {
        show->setPattern(pattern);
        const QString path = out.filePath(QString::fromLatin1(name));
        if (!tools::ui::renderTestPattern(pattern, size, show->caption()).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tool_window_shots OUTPUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    tools::testing::WindowBench f;
    bool ok = shootMemoryWindow(f, out);
    ok = shootSaveMemory(f, out) && ok;
    ok = shootPresetTiming(f, out) && ok;
    ok = shootPatterns(f, out) && ok;
    if (!f.linkMessages.shown.isEmpty() || !f.windowMessages.shown.isEmpty()) {
        std::fprintf(stderr, "unexpected message: %s\n",
                     qPrintable((f.linkMessages.shown + f.windowMessages.shown).join(QLatin1Char('\n'))));
        ok = false;
    }
    return ok ? 0 : 1;
}
