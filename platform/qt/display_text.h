#pragma once
#include <QString>

#include <string_view>

namespace velmora::platform::qt {

// Text from the logic layers as a Qt widget shows it. The bytes are taken
// as Latin-1, so every byte shows as some character and none is lost. Each
// CR LF pair becomes one '\n'; a lone CR or LF is a line break as well.
// In a Qt edit a line break is therefore one character, where the logic
// layers count two: positions inside multi-line texts must be computed per
// line (block number and column), not from CR LF offsets.
[[nodiscard]] QString displayText(std::string_view bytes);

}  // namespace velmora::platform::qt
