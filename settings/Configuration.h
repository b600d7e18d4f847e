#pragma once
// The configuration file (the program's path with ".dat"): window positions,
// screen type and both preset lists, carried from one run to the next.
#include <string>

#include "common/Unit3z.h"
#include "os/Os.h"
#include "ui/Controls.h"

// Counts above this cannot be sized: reading stops there, as for a negative
// count, so no count makes the program allocate without bound.
constexpr int32_t kMaxListCount = 1000000;

// Moves both windows (onto a monitor, should the saved place have none) and
// fills the settings store; never fails towards the caller: what was read
// before a failure stays applied.
void LoadConfiguration(const os::Path& path, ui::Form& palette, ui::Form& dialog, os::Environment& env);

// Writes positions and the store through a temporary file that then replaces
// the configuration file in one step, so a failed write leaves the previous
// file exactly as it was.
void SaveConfiguration(const os::Path& path, ui::Form& palette, ui::Form& dialog);

// The file's bytes for these positions and store.
std::string ConfigurationContent(int paletteLeft,
                                 int paletteTop,
                                 int dialogLeft,
                                 int dialogTop,
                                 const SettingsStore& store);
