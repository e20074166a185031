#include "link/bus_stepping.h"

namespace velmora::link {

void busStepStart(JigTransport& jig) { jig.start(); }

void busStepSendA0(JigTransport& jig) {
    jig.bus().clearErrorFlag();
    jig.writeByte(0xA0);
}

void busStepSendA1(JigTransport& jig) {
    jig.bus().clearErrorFlag();
    jig.writeByte(0xA1);
}

void busStepReceiveData(JigTransport& jig) {
    jig.bus().clearErrorFlag();
    std::uint8_t scratch = 0;
    jig.readByte(scratch, false);
}

void busStepStop(JigTransport& jig) {
    jig.bus().clearErrorFlag();
    jig.bus().stop();
}

}  // namespace velmora::link
