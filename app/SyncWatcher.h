// The sync file "k307.ini", written by the companion drawing command: a time
// stamp and the radius and diameter texts it hands to the palette.
#pragma once
#include <cstdint>
#include <string>

#include "os/Os.h"

struct SyncRead {
    bool changed = false;  // the file changed since `knownAge` and was read whole
    int32_t fileAge = 0;   // its file stamp after the read, when changed
    // As far as the lines were read; zero and empty otherwise.
    double stamp = 0.0;
    std::string radiusText;
    std::string diameterText;
};

// Reads the file unless its file stamp is still `knownAge` or it is missing.
SyncRead ReadSyncValues(const os::Path& path, int32_t knownAge);
