#include "tools/ui/crt_on_time_box.h"

#include "tools/crt_on_time.h"

namespace velmora::tools::ui {

void showCrtOnTime(link::MonitorLink& link, platform::MessageSink& messages) {
    const CrtOnTimeReadout readout = readCrtOnTime(link);
    messages.showMessage(readout.text, readout.caption);
}

}  // namespace velmora::tools::ui
