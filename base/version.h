#pragma once
// The version every program reports with --version.
namespace brindle::base {

inline constexpr const char* kVersion = BRINDLE_VERSION;

}  // namespace brindle::base
