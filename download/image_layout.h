#pragma once
// Where macro images live in the Macro Module's E2PROM, and the limits of the
// compiler's per-macro tables.
#include <cstddef>

#include "state/eeprom_layout.h"

namespace brindle::download {

// Location of the first image byte; a macro's bytes start at this plus its
// image offset.
constexpr int kMacroAreaStart = state::kMacroArea;
// Highest location a stored image or a jump may use: locations are 16-bit
// signed on the module, so anything above would wrap.
constexpr int kLastLocation = state::kLastLocation;
// Labels and jumps one macro may hold.
constexpr std::size_t kMaxLabels = 100;
constexpr std::size_t kMaxJumps = 100;

}  // namespace brindle::download
