#pragma once
#include <cstdint>

#include "model/model_description.h"

namespace velmora::tools {

// Which monitor operations may change its EEPROM, for the backup check that
// runs before them. Told from what they send, before anything is sent.

// Service commands that store or erase the monitor's settings in its
// EEPROM: mode save (0Ch on old firmware, 58h), colour save (7Dh) and
// user delete (50h).
[[nodiscard]] bool serviceCodeWritesMemory(std::uint8_t code);

// Whether RUN of this item table entry may write the EEPROM: the built-in
// saves and user deletes, and a script with a command that does (a memory
// write, a vendor request C0h other than the on-time read 0Bh, a user table
// or a mode table stored, one of the service commands above). A script
// whose positions run past the image is judged by those that lie inside it.
[[nodiscard]] bool functionWritesMemory(const model::ModelDescription& model, std::int16_t kind, std::int16_t arg);

}  // namespace velmora::tools
