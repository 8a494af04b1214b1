#pragma once

namespace kelvane {

// The program's version, as `--version` and the about box say it.
inline constexpr char kVersionText[] = "3.0.0";

}  // namespace kelvane
