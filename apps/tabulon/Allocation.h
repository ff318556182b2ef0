#pragma once

namespace tabulon {

// Where big arrays and the cell pool's blocks come from, and what happens
// when memory runs out; set first thing at start.
void SetMemoryPolicy();

}  // namespace tabulon
