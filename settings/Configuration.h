// The configuration file (the program's path with ".dat"): window positions,
// screen type and both preset lists, carried from one run to the next. Plain
// values in and out; the forms apply them to their windows and the store.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "common/Unit3z.h"
#include "os/Os.h"

// Counts above this cannot be sized: reading stops there, as for a negative
// count, so no count makes the program allocate without bound.
constexpr int32_t kMaxListCount = 1000000;

// A window's outer top-left corner, in screen pixels.
struct WindowPlace {
    int32_t left = 0, top = 0;
};

struct ConfigurationValues {
    // Lines 1-2 and 3-4; empty when reading stopped before them.
    std::optional<WindowPlace> palette, dialog;
    // The rest, as far as it was read (the store's reset values beyond).
    StoredSettings settings;
};

// Never fails towards the caller: what was read before a failure is there,
// the rest keeps its reset value; a missing file gives nothing at all.
ConfigurationValues ReadConfiguration(const os::Path& path);

// Writes positions and settings through a temporary file that then replaces
// the configuration file in one step, so a failed write leaves the previous
// file exactly as it was. A configuration that another program holds for a
// moment is waited for, up to about a second. The temporary file is never
// `program`, the running program's own file.
void WriteConfiguration(const os::Path& path,
                        const WindowPlace& palette,
                        const WindowPlace& dialog,
                        const StoredSettings& settings,
                        const os::Path& program);

// The file's bytes for these positions and settings.
std::string ConfigurationContent(const WindowPlace& palette, const WindowPlace& dialog, const StoredSettings& settings);
