#pragma once
#include "link/jig_transport.h"

namespace velmora::link {

// Single bus steps behind the hidden buttons of the Memory & Edid window, for
// poking the EEPROM by hand. Each clears a pending error first (except the
// START, which clears it by itself) and shows nothing.
void busStepStart(JigTransport& jig);        // "start"
void busStepSendA0(JigTransport& jig);       // "send A0"
void busStepSendA1(JigTransport& jig);       // "send A1"
void busStepReceiveData(JigTransport& jig);  // "Rx Data": one byte, acknowledged, dropped
void busStepStop(JigTransport& jig);         // "stop"

}  // namespace velmora::link
