#include "link/bus_stepping.h"

namespace velmora::link {

void busStepStart(JigLink& link) { link.start(); }

void busStepSendA0(JigLink& link) {
    link.clearErrorFlag();
    link.writeByte(0xA0);
}

void busStepSendA1(JigLink& link) {
    link.clearErrorFlag();
    link.writeByte(0xA1);
}

void busStepReceiveData(JigLink& link) {
    link.clearErrorFlag();
    std::uint8_t scratch = 0;
    link.readByte(scratch, false);
}

void busStepStop(JigLink& link) {
    link.clearErrorFlag();
    link.stop();
}

}  // namespace velmora::link
