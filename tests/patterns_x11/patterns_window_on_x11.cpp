// The console's Patterns window on a real X server: Enter shows the
// selected mode, Page Down the next, Esc puts the desktop's mode back, as
// the server itself reports it after each key.
//   patterns_window_on_x11 MODEL.mdl
#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <cstdio>
#include <string>

#include "model/model_description.h"
#include "tools/ui/patterns_dialog.h"

// Xlib's macros (Status, Bool) clash with Qt's headers: it comes last.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {

// The name of the mode the first connected output shows, as the server says.
std::string shownModeName(Display* display) {
    std::string name;
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    for (int i = 0; i < res->noutput && name.empty(); ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(display, res, res->outputs[i]);
        if (output->connection == RR_Connected && output->crtc != 0) {
            XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, res, output->crtc);
            for (int m = 0; m < res->nmode; ++m) {
                if (res->modes[m].id == crtc->mode) name = res->modes[m].name;
            }
            XRRFreeCrtcInfo(crtc);
        }
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(res);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    Display* observer = XOpenDisplay(nullptr);
    if (argc != 2 || observer == nullptr) {
        std::fprintf(stderr, "usage: patterns_window_on_x11 MODEL.mdl (on an X11 display)\n");
        return 2;
    }
    velmora::model::ModelDescription model;
    model.modelPath = argv[1];
    if (model.loadModelFile() != 1) return 2;
    const std::string desktop = shownModeName(observer);
    velmora::tools::ui::PatternsDialog dialog(model);
    dialog.show();
    auto* modes = dialog.findChild<QListWidget*>();
    int failures = 0;
    const auto expect = [&](const char* after, const std::string& wanted) {
        QTest::qWait(200);
        const std::string shown = shownModeName(observer);
        if (shown != wanted) {
            std::printf("FAIL: after %s the server shows \"%s\", not \"%s\" (%s)\n", after, shown.c_str(), wanted.c_str(),
                        qPrintable(dialog.status()));
            ++failures;
        }
    };
    modes->setCurrentRow(8);
    QTest::keyClick(modes, Qt::Key_Return);
    expect("Enter on mode 8", "jig 1024x768_85.00");
    QTest::keyClick(modes, Qt::Key_PageDown);
    expect("Page Down", "jig 1280x1024_60.02");
    QTest::keyClick(modes, Qt::Key_Escape);
    expect("Esc", desktop);
    XCloseDisplay(observer);
    if (failures == 0) std::printf("the Patterns window set modes 8 and 9 and put \"%s\" back\n", desktop.c_str());
    return failures == 0 ? 0 : 1;
}
