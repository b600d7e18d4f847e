// The palette's sync file watcher: values the companion drawing command
// writes to "k307.ini" are taken over when they are newer than the palette's.
#include "app/Unit1z.h"
#include "common/TextFile.h"
#include "common/uMyFunc.h"

bool TForm1::ReadSyncFile() {
    SyncStamp = 0.0;
    SyncRadiusText.clear();
    SyncDiameterText.clear();
    // The idle path: one metadata query, no handle, no allocation.
    int32_t stamp = os::FileStamp(syncFilePath_);
    if (stamp == -1 || stamp == SyncFileAge) return false;

    TextReader reader(syncFilePath_);
    if (!reader.IsOpen()) return false;
    std::string line;
    if (!reader.ReadLine(line)) return false;
    SyncStamp = RealOrZero(line);
    if (!reader.ReadText(SyncRadiusText) || !reader.ReadText(SyncDiameterText)) return false;
    if (!reader.Close()) return false;
    int32_t after = os::FileStamp(syncFilePath_);
    if (after == -1) return false;
    SyncFileAge = after;
    return true;
}
