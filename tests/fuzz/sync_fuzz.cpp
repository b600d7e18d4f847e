// The sync file watcher. The input is "k307.ini"; a headless palette on a
// fixed clock runs one timer tick over it. Whatever the first line holds,
// the stamp read must be a finite number, and the texts must be adopted
// exactly when a reference reading of that line gives a finite number
// strictly later than the palette's last adoption.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/Unit1z.h"
#include "common/DateTime.h"
#include "os/Faults.h"
#include "os/Os.h"
#include "settings/Unit2z.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

const std::string kCaptionBytes = "[Vorna] k307\x81\x46\x90\xDA\x89\x7E\x82\xCC\x8D\xEC\x90\x7D";
const std::string kHeader = "[Vorna]k307\x81\x46\x90\xDA\x89\x7E\x82\xCC\x8D\xEC\x90\x7D";

class FixedEnvironment : public os::Environment {
public:
    os::LocalTime now{2024, 1, 1, 6, 0, 0, 0};  // 45292.25
    os::LocalTime Now() override { return now; }
    std::vector<os::TopWindow> TopLevelWindows() override { return {{false, true, kCaptionBytes}}; }
    os::Path ProgramPath() override { return os::PathFromUtf8(fuzz::ScratchFolder() + "k307palette.exe"); }
};

struct Palette {
    FixedEnvironment env;
    TForm2 dialog;
    TForm1 form{env, dialog};
    Palette() { form.FormShow(); }
};

// The last adoption the palette remembers before each tick.
constexpr double kLastSync = 45292.25;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static Palette p;
    static const std::string syncPath = fuzz::ScratchFolder() + "k307.ini";
    static const std::string selectionPath = fuzz::ScratchFolder() + "k307.dat";
    std::string_view input(reinterpret_cast<const char*>(data), size);
    TForm1& f = p.form;

    fuzz::WriteRaw(syncPath, input);
    f.SyncFileAge = 0;  // as at start, so the file counts as changed
    f.LastSyncTime = kLastSync;
    f.RadiusText = f.DiameterText = "before";
    f.ComboBox1.SetText("before");
    f.ComboBox2.SetText("before");
    const int writes = f.selectionWrites;
    const int openBefore = os::Faults::OpenFiles();

    f.Timer1Timer();

    FUZZ_CHECK(os::Faults::OpenFiles() == openBefore);
    FUZZ_CHECK(f.Timer1.enabled() && f.Timer1.interval() == 1000u);
    FUZZ_CHECK(std::isfinite(f.SyncStamp));
    const int32_t stamp = os::FileStamp(os::PathFromUtf8(syncPath));
    FUZZ_CHECK(stamp != -1 && f.SyncFileAge == stamp);

    fuzz::Lines lines(input);
    const fuzz::RealExpectation expected = fuzz::RefRealOrZero(lines[0]);
    FUZZ_CHECK(expected.Accepts(f.SyncStamp));
    FUZZ_CHECK(f.SyncRadiusText == lines.Text(1) && f.SyncDiameterText == lines.Text(2));

    const bool adopted = f.selectionWrites != writes;
    FUZZ_CHECK(adopted == (std::isfinite(expected.value) && expected.value > kLastSync));
    if (adopted) {
        FUZZ_CHECK(f.selectionWrites == writes + 1);
        FUZZ_CHECK(f.RadiusText == lines.Text(1) && f.DiameterText == lines.Text(2));
        FUZZ_CHECK(f.ComboBox1.text() == lines.Text(1) && f.ComboBox2.text() == lines.Text(2));
        FUZZ_CHECK(f.LastSyncTime == DateTimeFromLocal(p.env.now));
        std::string bytes;
        FUZZ_CHECK(fuzz::ReadRaw(selectionPath, bytes));
        FUZZ_CHECK(bytes == kHeader + "\r\n" + lines.Text(1) + "\r\n" + lines.Text(2) + "\r\n" +
                                std::to_string(f.Mode) + "\r\n");
    } else {
        FUZZ_CHECK(f.RadiusText == "before" && f.DiameterText == "before");
        FUZZ_CHECK(f.ComboBox1.text() == "before" && f.LastSyncTime == kLastSync);
    }

    // The stamp is recorded: the next tick reads nothing.
    f.Timer1Timer();
    FUZZ_CHECK(f.SyncStamp == 0.0 && f.SyncRadiusText.empty() && f.selectionWrites == writes + (adopted ? 1 : 0));
    return 0;
}
