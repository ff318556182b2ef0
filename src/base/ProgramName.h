#pragma once
// The program's name: the main window's title while no configuration is
// open, and the caption of its own notices.

namespace tabulon {

constexpr char kProgramName[] = "Tabulon";

}  // namespace tabulon
