#include "platform/video_mode.h"

#include <cstdio>

namespace velmora::platform {

std::string modelineText(const VideoMode& mode) {
    char text[200];
    std::snprintf(text, sizeof text, "\"%s\" %.2f %u %u %u %u %u %u %u %u %chsync %cvsync%s", mode.name.c_str(),
                  mode.pixelClockKHz / 1000.0, mode.hDisplay, mode.hSyncStart, mode.hSyncEnd, mode.hTotal,
                  mode.vDisplay, mode.vSyncStart, mode.vSyncEnd, mode.vTotal, mode.hSyncPositive ? '+' : '-',
                  mode.vSyncPositive ? '+' : '-', mode.interlaced ? " Interlace" : "");
    return text;
}

}  // namespace velmora::platform
