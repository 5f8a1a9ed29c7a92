#pragma once
// The Macro Module's E2PROM as a download lays it out (locations are 16-bit
// signed, so 0 to 32767; two-byte values are stored high byte first):
//   0        node address of the combination ("Macro Id")
//   1        starting macro, the position run after power-up ("Boot Macro")
//   2        number of macros written ("# of Macros")
//   3        image state: 'Z' while incomplete, 'X' after a successful download
//   16 + 2k  start location of the image of slot k (slots 0 to 254)
//   526 + 12k  the 12-character name of slot k
//   3586 ... the images of the non-empty slots, one after the other
namespace brindle::state {

inline constexpr int kNodeAddressLocation = 0;
inline constexpr int kBootMacroLocation = 1;
inline constexpr int kMacroCountLocation = 2;
inline constexpr int kImageStateLocation = 3;
inline constexpr int kStartTable = 16;
inline constexpr int kNameTable = 526;
inline constexpr int kMacroArea = 3586;
inline constexpr int kLastLocation = 32767;
inline constexpr int kLocationCount = kLastLocation + 1;
inline constexpr char kImageIncomplete = 'Z';
inline constexpr char kImageComplete = 'X';

}  // namespace brindle::state
