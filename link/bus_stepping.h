#pragma once
#include "link/jig_link.h"

namespace velmora::link {

// Single bus steps behind the hidden buttons of the Memory & Edid window, for
// poking the EEPROM by hand. Each clears a pending error first (except the
// START, which clears it by itself) and shows nothing.
void busStepStart(JigLink& link);        // "start"
void busStepSendA0(JigLink& link);       // "send A0"
void busStepSendA1(JigLink& link);       // "send A1"
void busStepReceiveData(JigLink& link);  // "Rx Data": one byte, acknowledged, dropped
void busStepStop(JigLink& link);         // "stop"

}  // namespace velmora::link
