// The palette, TForm1: the program's always-on-top main window. Its logic
// runs on the control models, so it works the same with Win32 peers attached
// and headless in tests.
#pragma once
#include <cstdint>
#include <string>

#include "os/Os.h"
#include "ui/Controls.h"
#include "ui/Placement.h"

class TForm2;

class TForm1 : public ui::Form {
public:
    TForm1(os::Environment& env, TForm2& dialog);

    // Controls, in keyboard tab order within each panel.
    ui::Panel Panel1;
    ui::RadioButton RadioButton1;
    ui::ComboBox ComboBox1;
    ui::RadioButton RadioButton2;
    ui::ComboBox ComboBox2;
    ui::Panel Panel2;
    ui::Button Button1;
    ui::Button Button2;
    ui::Timer Timer1;
    // Tries a selection write again that another process refused by holding
    // the file; runs only while such a write is pending.
    ui::Timer RetryTimer;

    // Palette fields.
    os::Path SelectionFilePath;
    std::string RadiusText;
    std::string DiameterText;
    int32_t Mode = 0;
    int32_t InstanceCount = 0;

    // Sync file watcher state.
    int32_t SyncFileAge = 0;
    double LastSyncTime = 0.0;
    double SyncStamp = 0.0;
    std::string SyncRadiusText;
    std::string SyncDiameterText;

    void FormShow();
    void FormClose();
    void ArrangePanels();
    void ShowSelection();
    void LoadSelection(const os::Path& path);
    void SaveSelection(const os::Path& path);
    // Moves both windows (onto a monitor, should the saved place have none)
    // and fills the settings store from the configuration file.
    void LoadConfiguration(const os::Path& path);
    void SaveConfiguration(const os::Path& path);
    bool ReadSyncFile();

    void ComboBox1Change();
    void ComboBox2Change();
    void RadioButton1Click();
    void RadioButton2Click();
    void Button1Click();
    void Button2Click();
    void Timer1Timer();
    void RetryTimerTimer();

    // The session is ending (log-off, shut-down): keep what the user set.
    void EndSession();

    // The program file's path with the extension ".dat"; empty when that
    // would be the selection file itself (a program renamed "k307.exe").
    os::Path ConfigurationPath();

    // Where a window place read from the configuration may stay; a place
    // stays as read when this is empty (headless).
    ui::ReachableRule keepReachable;

    // How many times the selection file was written (for tests and benchmarks).
    int selectionWrites = 0;

private:
    // Stops the timer and, the first time the program ends and only in the
    // copy that was alone at start, saves the configuration; true when saved.
    bool SaveOnceIfAlone();
    void StartTimer() { Timer1.SetEnabled(true); }
    void StopTimer() { Timer1.SetEnabled(false); }
    os::Environment& env_;
    TForm2& dialog_;
    // The selection write once more, then no more retries: the program ends.
    void FlushPendingSelection();
    os::Path syncFilePath_;
    os::Path pendingPath_;  // of the refused write, while RetryTimer runs
    bool closing_ = false;
};
