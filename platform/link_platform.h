#pragma once
#include "platform/clock.h"
#include "platform/interrupt_shield.h"
#include "platform/message_sink.h"
#include "platform/port_io.h"
#include "platform/spin_delay.h"

namespace velmora::platform {

// Everything the jig link needs from the machine it runs on. The real
// program wires ppdev, the steady clock and the calibrated spin; the
// virtual bench wires its simulated board and virtual clock.
struct LinkPlatform {
    PortIo& port;
    Clock& clock;
    SpinDelay& spin;
    InterruptShield& shield;
    MessageSink& messages;
};

}  // namespace velmora::platform
