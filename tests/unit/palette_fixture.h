#pragma once
// A palette and its settings dialog running headless on a fake environment:
// an injected clock, window list and program path inside a fresh folder, and
// a KeepReachable that records (and may move) every placement it is asked for.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/Unit1z.h"
#include "common/Unit3z.h"
#include "os/Faults.h"
#include "os/Os.h"
#include "settings/Unit2z.h"
#include "tests/helpers/TestSupport.h"

namespace palette_test {

// Code page 932 bytes, spelled out so that a wrong constant in the program
// cannot make a check pass.
inline const std::string kUnspecified = "(\x96\xB3\x8E\x77\x92\xE8)";  // (無指定)
inline const std::string kHeader =
    "[Vorna]k307\x81\x46\x90\xDA\x89\x7E\x82\xCC\x8D\xEC\x90\x7D";  // [Vorna]k307：接円の作図
inline const std::string kTitle = "[Vorna] k307\x81\x46\x90\xDA\x89\x7E\x82\xCC\x8D\xEC\x90\x7D";  // the window caption
inline const std::string kZusun = "\x90\x7D\x90\xA1";                                              // 図寸
inline const std::string kFullM = "\x82\x8D";                                                      // ｍ (full width)

struct Placement {
    int left, top, width, height;
    bool operator==(const Placement&) const = default;
};

class FakeEnvironment : public os::Environment {
public:
    os::LocalTime now{2024, 1, 1, 6, 0, 0, 0};  // OLE date 45292.25
    std::vector<os::TopWindow> windows;
    os::Path program;
    std::vector<Placement> placements;
    std::function<void(int& left, int& top)> move;

    os::LocalTime Now() override { return now; }
    std::vector<os::TopWindow> TopLevelWindows() override { return windows; }
    os::Path ProgramPath() override { return program; }
    void KeepReachable(int& left, int& top, int width, int height) {
        placements.push_back({left, top, width, height});
        if (move) move(left, top);
    }
};

// The lines, each followed by `eol`.
inline std::string Lines(std::initializer_list<std::string> lines, const std::string& eol = "\r\n") {
    std::string s;
    for (const auto& l : lines) s += l + eol;
    return s;
}

inline std::string SelectionBytes(const std::string& radius, const std::string& diameter, const std::string& mode) {
    return Lines({kHeader, radius, diameter, mode});
}

// Stands in for the forms' windows: notes where the focus went and how often
// the timer started a fresh wait, and plays the user's part while a form is
// shown modally.
class StandInWindow : public ui::FormWindow {
public:
    void Update(ui::Control& c, unsigned changes) override {
        if (changes & ui::kFocus) focused = &c;
    }
    void UpdateList(ui::Control&, const ui::ListChange&) override {}
    void Restart(ui::Timer&) override { ++restarts; }
    void RunModal() override {
        if (user) user();
    }
    void Destroy() override {}
    void ReadPosition(int&, int&) override {}
    // Becomes the window of `c` and everything in it, as a form's window
    // does when it is made.
    void Attach(ui::Control& c) {
        c.window = this;
        if (ui::Container* inner = c.asContainer())
            for (ui::Control* child : inner->children()) Attach(*child);
    }
    ui::Control* focused = nullptr;
    int restarts = 0;
    std::function<void()> user;
};

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override {
        os::Faults::Clear();
        openBefore_ = os::Faults::OpenFiles();
        Settings().ResetSettings();
        Settings().ProgramDir.clear();
        env.program = dir / "k307palette.exe";
        env.windows = {{false, true, kTitle}};  // this copy's own application window
        palette.Timer1.window = &windows;
        dialog.OnMakeWindow = [this](ui::Form& f) {
            windows.Attach(f);
            return true;
        };
        palette.keepReachable = [this](int& left, int& top, int width, int height) {
            env.KeepReachable(left, top, width, height);
        };
    }
    void TearDown() override {
        os::Faults::Clear();
        EXPECT_EQ(os::Faults::OpenFiles(), openBefore_) << "a file was left open";
        Settings().ResetSettings();
        Settings().ProgramDir.clear();
    }

    os::Path SelectionPath() const { return dir / "k307.dat"; }
    os::Path ConfigPath() const { return dir / "k307palette.dat"; }
    os::Path SyncPath() const { return dir / "k307.ini"; }

    static std::string Read(const os::Path& path) {
        auto bytes = testkit::ReadBytes(path);
        return bytes ? *bytes : std::string("<missing>");
    }
    static void Write(const os::Path& path, const std::string& bytes) { ASSERT_TRUE(testkit::WriteBytes(path, bytes)); }

    // File names in a folder, as the folder lists them.
    static std::set<std::string> FilesIn(const os::Path& folder) {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(folder)))
            names.insert(os::PathToUtf8(e.path().filename().native()));
        return names;
    }
    std::set<std::string> Files() const { return FilesIn(dir.Folder()); }

    int Calls(os::Op op) const { return os::Faults::Calls(op); }

    // The palette's client size and panel positions, in one comparable text.
    std::string Layout() const {
        const ui::Rect &a = palette.Panel1.bounds(), &b = palette.Panel2.bounds();
        auto at = [](const ui::Rect& r) { return std::to_string(r.left) + "," + std::to_string(r.top); };
        return std::to_string(palette.clientWidth()) + "x" + std::to_string(palette.clientHeight()) + " Panel1 " +
               at(a) + " Panel2 " + at(b);
    }
    static constexpr const char* kHorizontal = "346x43 Panel1 0,0 Panel2 185,0";
    static constexpr const char* kVertical = "185x86 Panel1 0,0 Panel2 0,43";

    testkit::ScratchDir dir;
    FakeEnvironment env;
    TForm2 dialog;
    TForm1 palette{env, dialog};
    StandInWindow windows;

private:
    int openBefore_ = 0;
};

}  // namespace palette_test
