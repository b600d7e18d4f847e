// The sync file watcher's reading of "k307.ini".
#include "app/SyncWatcher.h"

#include "common/TextFile.h"
#include "common/uMyFunc.h"

SyncRead ReadSyncValues(const os::Path& path, int32_t knownAge) {
    SyncRead r;
    // The idle path: one metadata query, no handle, no allocation.
    int32_t stamp = os::FileStamp(path);
    if (stamp == -1 || stamp == knownAge) return r;

    TextReader reader(path);
    if (!reader.IsOpen()) return r;
    std::string line;
    if (!reader.ReadLine(line)) return r;
    r.stamp = RealOrZero(line);
    if (!reader.ReadText(r.radiusText) || !reader.ReadText(r.diameterText)) return r;
    if (!reader.Close()) return r;
    int32_t after = os::FileStamp(path);
    if (after == -1) return r;
    r.changed = true;
    r.fileAge = after;
    return r;
}
