// The palette, TForm1: start, close, layout and event handlers.
#include "app/Unit1z.h"

#include <algorithm>

#include "app/Selection.h"
#include "app/SyncWatcher.h"
#include "common/DateTime.h"
#include "common/Texts.h"
#include "common/Unit3z.h"
#include "settings/Configuration.h"
#include "settings/Unit2z.h"

using namespace texts;

TForm1::TForm1(os::Environment& env, TForm2& dialog)
    : ui::Form(kCaption, 196, 104, 346, 43),
      Panel1(this, 1, {0, 0, 185, 43}, 0xFFFFFF, true),
      RadioButton1(&Panel1, 1, {0, 0, 57, 17}, kRadiusCaption, true),
      ComboBox1(&Panel1, 1, {58, 0, 119, 21}, "ComboBox1"),
      RadioButton2(&Panel1, 2, {0, 24, 57, 17}, kDiameterCaption),
      ComboBox2(&Panel1, 2, {58, 20, 119, 21}, "ComboBox2"),
      Panel2(this, 2, {185, 0, 161, 43}, 0xFFFFFF, true),
      Button1(&Panel2, 1, {0, 4, 65, 33}, kSettingsCaption),
      Button2(&Panel2, 2, {72, 4, 81, 33}, kCloseCaption),
      env_(env),
      dialog_(dialog) {
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    OnEndSession = [this] { EndSession(); };
    ComboBox1.OnChange = [this](ui::Control&) { ComboBox1Change(); };
    ComboBox2.OnChange = [this](ui::Control&) { ComboBox2Change(); };
    RadioButton1.OnClick = [this](ui::RadioButton&) { RadioButton1Click(); };
    RadioButton2.OnClick = [this](ui::RadioButton&) { RadioButton2Click(); };
    Button1.OnClick = [this](ui::Button&) { Button1Click(); };
    Button2.OnClick = [this](ui::Button&) { Button2Click(); };
    Timer1.OnTimer = [this] { Timer1Timer(); };
    RetryTimer.OnTimer = [this] { RetryTimerTimer(); };
    // Soon enough that the companion never reads an old choice for long,
    // seldom enough to cost nothing while it holds the file.
    RetryTimer.SetInterval(100);
    SetStayOnTop(true);
}

os::Path TForm1::ConfigurationPath() {
    os::Path config = os::ReplaceExtension(env_.ProgramPath(), ".dat");
    // Never let settings overwrite the companion's selection file.
    if (os::SamePathIgnoringCase(config, SelectionFilePath)) return {};
    return config;
}

void TForm1::FormShow() {
    SettingsStore& store = Settings();
    store.ProgramDir = os::FolderOf(env_.ProgramPath());
    SelectionFilePath = store.ProgramDir + os::PathFromAscii("k307.dat");
    syncFilePath_ = store.ProgramDir + os::PathFromAscii("k307.ini");
    SyncFileAge = 0;
    LastSyncTime = NowDateTime(env_);

    InstanceCount = 0;
    for (const os::TopWindow& w : env_.TopLevelWindows()) {
        if (!w.hasOwner && w.visible && w.title == kCaption) ++InstanceCount;
    }
    if (InstanceCount >= 2) {
        Close();
        return;
    }

    os::Path config = ConfigurationPath();
    if (!config.empty()) LoadConfiguration(config);
    ArrangePanels();
    LoadSelection(SelectionFilePath);
    ShowSelection();
    Timer1.SetInterval(1000);
    StartTimer();
}

bool TForm1::SaveOnceIfAlone() {
    StopTimer();
    if (closing_ || InstanceCount != 1) {
        closing_ = true;
        return false;
    }
    closing_ = true;
    os::Path config = ConfigurationPath();
    if (!config.empty()) SaveConfiguration(config);
    return true;
}

void TForm1::FormClose() {
    FlushPendingSelection();
    if (SaveOnceIfAlone()) Settings().ResetSettings();
}

void TForm1::EndSession() {
    FlushPendingSelection();
    SaveOnceIfAlone();
}

void TForm1::FlushPendingSelection() {
    if (!RetryTimer.enabled()) return;
    RetryTimer.SetEnabled(false);
    WriteSelectionFile(pendingPath_, {RadiusText, DiameterText, Mode});
}

void TForm1::ArrangePanels() {
    const SettingsStore& store = Settings();
    const ui::Rect& p1 = Panel1.bounds();
    const ui::Rect& p2 = Panel2.bounds();
    if (store.ScreenType == 0) {
        SetClientSize(p1.width + p2.width, std::max(p1.height, p2.height));
        Panel1.SetPosition(0, 0);
        Panel2.SetPosition(p1.width, 0);
    } else {
        SetClientSize(std::max(p1.width, p2.width), p1.height + p2.height);
        Panel1.SetPosition(0, 0);
        Panel2.SetPosition(0, p1.height);
    }
    auto fill = [](ui::ComboBox& combo, const std::vector<std::string>& list, std::size_t n) {
        std::vector<std::string> items;
        items.reserve(n + 1);
        items.emplace_back(kUnspecified);
        items.insert(items.end(), list.begin(), list.begin() + static_cast<std::ptrdiff_t>(n));
        combo.AssignItems(std::move(items));
    };
    fill(ComboBox1, store.RadiusList, store.RadiusEntries());
    fill(ComboBox2, store.DiameterList, store.DiameterEntries());
}

void TForm1::ShowSelection() {
    ComboBox1.SetText(RadiusText);
    ComboBox2.SetText(DiameterText);
    RadioButton1.SetChecked(false);
    RadioButton2.SetChecked(false);
    if (Mode == 0) {
        RadioButton1.SetChecked(true);
    } else {
        RadioButton2.SetChecked(true);
    }
}

void TForm1::LoadSelection(const os::Path& path) {
    Selection s = ReadSelectionFile(path);
    RadiusText = std::move(s.radiusText);
    DiameterText = std::move(s.diameterText);
    Mode = s.mode;
}

void TForm1::SaveSelection(const os::Path& path) {
    ++selectionWrites;
    // A refused write is made again later, unless a newer one replaces it:
    // until then the companion would read a choice the palette no longer shows.
    const bool refused = WriteSelectionFile(path, {RadiusText, DiameterText, Mode}) == SelectionWrite::Refused;
    if (refused) pendingPath_ = path;
    RetryTimer.SetEnabled(refused);
}

void TForm1::LoadConfiguration(const os::Path& path) {
    SettingsStore& store = Settings();
    store.ResetSettings();
    ConfigurationValues values = ReadConfiguration(path);
    auto place = [this](ui::Form& form, WindowPlace at) {
        if (keepReachable) keepReachable(at.left, at.top, form.width(), form.height());
        form.SetPosition(at.left, at.top);
    };
    if (values.palette) place(*this, *values.palette);
    if (values.dialog) place(dialog_, *values.dialog);
    static_cast<StoredSettings&>(store) = std::move(values.settings);
}

void TForm1::SaveConfiguration(const os::Path& path) {
    WriteConfiguration(path, {left(), top()}, {dialog_.left(), dialog_.top()}, Settings(), env_.ProgramPath());
}

bool TForm1::ReadSyncFile() {
    SyncRead read = ReadSyncValues(syncFilePath_, SyncFileAge);
    SyncStamp = read.stamp;
    SyncRadiusText = std::move(read.radiusText);
    SyncDiameterText = std::move(read.diameterText);
    if (read.changed) SyncFileAge = read.fileAge;
    return read.changed;
}

void TForm1::ComboBox1Change() {
    StopTimer();
    Mode = 0;
    RadioButton1.SetChecked(true);
    RadiusText = ComboBox1.text();
    SaveSelection(SelectionFilePath);
    StartTimer();
}

void TForm1::ComboBox2Change() {
    StopTimer();
    Mode = 1;
    RadioButton2.SetChecked(true);
    DiameterText = ComboBox2.text();
    SaveSelection(SelectionFilePath);
    StartTimer();
}

void TForm1::RadioButton1Click() {
    StopTimer();
    Mode = 0;
    SaveSelection(SelectionFilePath);
    StartTimer();
}

void TForm1::RadioButton2Click() {
    StopTimer();
    Mode = 1;
    SaveSelection(SelectionFilePath);
    StartTimer();
}

void TForm1::Button1Click() {
    StopTimer();
    dialog_.InitialRadiusText = RadiusText;
    dialog_.InitialDiameterText = DiameterText;
    // The dialog is an ordinary window; the palette steps down from the top
    // so that the dialog shows above it, and takes its place back afterwards.
    SetStayOnTop(false);
    const bool shown = dialog_.ShowModal();
    SetStayOnTop(true);
    if (shown && dialog_.Accepted) ArrangePanels();
    Timer1.SetInterval(1000);
    StartTimer();
}

void TForm1::Button2Click() {
    Close();
}

void TForm1::RetryTimerTimer() {
    // Leaves the one-second timer alone: its ticks keep their own rhythm.
    SaveSelection(pendingPath_);
}

void TForm1::Timer1Timer() {
    StopTimer();
    Timer1.SetInterval(100000);
    if (ReadSyncFile() && SyncStamp > LastSyncTime) {
        ComboBox1.SetText(SyncRadiusText);
        ComboBox2.SetText(SyncDiameterText);
        RadiusText = ComboBox1.text();
        DiameterText = ComboBox2.text();
        SaveSelection(SelectionFilePath);
        LastSyncTime = NowDateTime(env_);
    }
    Timer1.SetInterval(1000);
    StartTimer();
}
