// The settings dialog, TForm2: its controls and handlers.
#include "settings/Unit2z.h"

#include <algorithm>

#include "common/Texts.h"
#include "common/Unit3z.h"
#include "common/uMyFunc.h"

using namespace texts;

namespace {
constexpr uint32_t kLightGrey = 0xE8E8E8;

std::vector<std::string> MemoLines() {
    return {kMemoLine1, kMemoLine2, kMemoLine3, kMemoLine4, kMemoLine5};
}

std::vector<std::string> Units() {
    return {kUnitActualMm, kUnitDrawingMm, kUnitActualM, kUnitDrawingM};
}

std::vector<std::string> Entries(const std::vector<std::string>& list, std::size_t n) {
    return std::vector<std::string>(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(n));
}
}  // namespace

TForm2::TForm2()
    : ui::Form(kCaption, 193, 115, 338, 283),
      PageControl1(this, 1, {0, 0, 338, 254}),
      TabSheet1(&PageControl1, 1, kGeneralPage),
      RadioGroup1(&TabSheet1, 1, {8, 8, 137, 41}, kScreenType, {kHorizontal, kVertical}, 2),
      Memo1(&TabSheet1, 1, {8, 56, 313, 161}, MemoLines()),
      TabSheet2(&PageControl1, 2, kRadiusPage),
      Label2(&TabSheet2, 2, {144, 0, 65, 13}, kDataItem),
      Label1(&TabSheet2, 1, {0, 0, 65, 13}, kDataList),
      ListBox1(&TabSheet2, 1, {0, 16, 137, 185}),
      Button3(&TabSheet2, 3, {0, 200, 41, 25}, kUp),
      Button4(&TabSheet2, 4, {40, 200, 41, 25}, kDown),
      Button5(&TabSheet2, 5, {80, 200, 57, 25}, kDelete),
      Panel2(&TabSheet2, 2, {144, 16, 185, 209}, kLightGrey, false),
      Label3(&Panel2, 3, {8, 12, 39, 13}, kRadiusCaption),
      Edit1(&Panel2, 1, {56, 8, 121, 21}),
      RadioGroup2(&Panel2, 2, {8, 32, 169, 57}, kUnit, Units(), 2),
      Button6(&Panel2, 6, {8, 184, 81, 25}, kAdd),
      Button7(&Panel2, 7, {96, 184, 81, 25}, kEdit),
      TabSheet3(&PageControl1, 3, kDiameterPage),
      Label5(&TabSheet3, 5, {144, 0, 65, 13}, kDataItem),
      Label4(&TabSheet3, 4, {0, 0, 65, 13}, kDataList),
      ListBox2(&TabSheet3, 2, {0, 16, 137, 185}),
      Button8(&TabSheet3, 8, {0, 200, 41, 25}, kUp),
      Button9(&TabSheet3, 9, {40, 200, 41, 25}, kDown),
      Button10(&TabSheet3, 10, {80, 200, 57, 25}, kDelete),
      Panel3(&TabSheet3, 3, {144, 16, 185, 209}, kLightGrey, false),
      Label11(&Panel3, 11, {8, 12, 39, 13}, kDiameterCaption),
      Edit2(&Panel3, 2, {56, 8, 121, 21}),
      RadioGroup3(&Panel3, 3, {8, 32, 169, 57}, kUnit, Units(), 2),
      Button11(&Panel3, 11, {8, 184, 81, 25}, kAdd),
      Button12(&Panel3, 12, {96, 184, 81, 25}, kEdit),
      Panel1(this, 1, {0, 254, 338, 29}, kLightGrey, false),
      Button1(&Panel1, 1, {8, 2, 89, 25}, kOk),
      Button2(&Panel1, 2, {112, 2, 121, 25}, kCancel) {
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    for (ui::Button* b : {&Button3, &Button4, &Button5}) b->tag = 1;
    for (ui::Button* b : {&Button8, &Button9, &Button10}) b->tag = 2;
    Button3.OnClick = Button8.OnClick = [this](ui::Button& b) { Button3Click(b); };
    Button4.OnClick = Button9.OnClick = [this](ui::Button& b) { Button4Click(b); };
    Button5.OnClick = Button10.OnClick = [this](ui::Button& b) { Button5Click(b); };
    ListBox1.OnClick = [this](ui::ListBox&) { ListBox1Click(); };
    ListBox2.OnClick = [this](ui::ListBox&) { ListBox2Click(); };
    Button6.OnClick = [this](ui::Button&) { Button6Click(); };
    Button7.OnClick = [this](ui::Button&) { Button7Click(); };
    Button11.OnClick = [this](ui::Button&) { Button11Click(); };
    Button12.OnClick = [this](ui::Button&) { Button12Click(); };
    Button1.OnClick = [this](ui::Button&) { Button1Click(); };
    Button2.OnClick = [this](ui::Button&) { Button2Click(); };
    Button1.isDefault = true;
    Button2.isCancel = true;
}

void TForm2::FormShow() {
    const SettingsStore& store = Settings();
    Accepted = false;
    RadioGroup1.SetItemIndex(store.ScreenType);
    ListBox1.Assign(Entries(store.RadiusList, store.RadiusEntries()));
    ListBox2.Assign(Entries(store.DiameterList, store.DiameterEntries()));
    ShowRadiusEntry(InitialRadiusText);
    ShowDiameterEntry(InitialDiameterText);
}

void TForm2::ShowRadiusEntry(const std::string& text) {
    SplitEntry e = SplitValueEntry(text);
    RadioGroup2.SetItemIndex(e.unitCode);
    Edit1.SetText(std::move(e.number));
}

void TForm2::ShowDiameterEntry(const std::string& text) {
    SplitEntry e = SplitValueEntry(text);
    RadioGroup3.SetItemIndex(e.unitCode);
    Edit2.SetText(std::move(e.number));
}

ui::ListBox* TForm2::ListFor(const ui::Button& sender) {
    switch (sender.tag) {
        case 1:
            return &ListBox1;
        case 2:
            return &ListBox2;
        default:
            return nullptr;
    }
}

void TForm2::Button3Click(ui::Button& sender) {
    ui::ListBox* list = ListFor(sender);
    if (!list) return;
    int i = list->itemIndex();
    if (list->count() > 1 && i != -1 && i != 0) {
        list->Exchange(i, i - 1);
        list->SetItemIndex(i - 1);
    }
}

void TForm2::Button4Click(ui::Button& sender) {
    ui::ListBox* list = ListFor(sender);
    if (!list) return;
    int i = list->itemIndex();
    if (list->count() > 1 && i != -1 && i + 1 != list->count()) {
        list->Exchange(i, i + 1);
        list->SetItemIndex(i + 1);
    }
}

void TForm2::Button5Click(ui::Button& sender) {
    ui::ListBox* list = ListFor(sender);
    if (!list) return;
    int i = list->itemIndex();
    if (list->count() > 0 && i != -1) {
        list->Delete(i);
        list->SetItemIndex(-1);
    }
}

void TForm2::ListBox1Click() {
    if (ListBox1.count() > 0 && ListBox1.itemIndex() != -1)
        ShowRadiusEntry(ListBox1.items()[static_cast<std::size_t>(ListBox1.itemIndex())]);
}

void TForm2::ListBox2Click() {
    if (ListBox2.count() > 0 && ListBox2.itemIndex() != -1)
        ShowDiameterEntry(ListBox2.items()[static_cast<std::size_t>(ListBox2.itemIndex())]);
}

void TForm2::AddEntry(ui::ListBox& list, ui::Edit& edit, ui::RadioGroup& units) {
    if (list.count() >= kMaxListEntries) return;
    ValueEntry e = MakeValueEntry(edit.text(), units.itemIndex());
    if (e.ok) {
        list.Add(std::move(e.text));
    } else {
        edit.SetFocus();
    }
}

void TForm2::ReplaceEntry(ui::ListBox& list, ui::Edit& edit, ui::RadioGroup& units) {
    if (list.count() == 0 || list.itemIndex() == -1) return;
    ValueEntry e = MakeValueEntry(edit.text(), units.itemIndex());
    if (e.ok) {
        int i = list.itemIndex();
        list.SetItemText(i, std::move(e.text));
        list.SetItemIndex(i);
    } else {
        edit.SetFocus();
    }
}

void TForm2::Button6Click() {
    AddEntry(ListBox1, Edit1, RadioGroup2);
}
void TForm2::Button7Click() {
    ReplaceEntry(ListBox1, Edit1, RadioGroup2);
}
void TForm2::Button11Click() {
    AddEntry(ListBox2, Edit2, RadioGroup3);
}
void TForm2::Button12Click() {
    ReplaceEntry(ListBox2, Edit2, RadioGroup3);
}

void TForm2::Button1Click() {
    SettingsStore& store = Settings();
    store.ScreenType = RadioGroup1.itemIndex();
    store.RadiusCount = ListBox1.count();
    store.RadiusList = ListBox1.items();
    store.DiameterCount = ListBox2.count();
    store.DiameterList = ListBox2.items();
    Accepted = true;
    Close();
}

void TForm2::Button2Click() {
    Accepted = false;
    Close();
}
