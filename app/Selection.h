// The selection file "k307.dat": the palette's output to the companion
// drawing command. Four lines: header, radius text, diameter text, mode.
#pragma once
#include <cstdint>
#include <string>

#include "os/Os.h"

struct Selection {
    std::string radiusText;
    std::string diameterText;
    int32_t mode = 0;
};

Selection DefaultSelection();

// Reads the file, or gives the defaults when it is missing, foreign or
// unreadable (an unreadable file is deleted where possible).
Selection ReadSelectionFile(const os::Path& path);

enum class SelectionWrite {
    Written,
    // Another process holds the file: it keeps the previous choice whole,
    // and the write is worth trying again soon.
    Refused,
    // Any other failure. A file the write had truncated was deleted where
    // possible; one it could not open is left as it was.
    Failed,
};

// Writes the whole file with one write call, so a reader sees the old file or
// the new one; a write that fails part-way deletes the file.
SelectionWrite WriteSelectionFile(const os::Path& path, const Selection& s);
