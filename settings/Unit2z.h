// The settings dialog, TForm2: screen type and the two preset lists. It works
// on copies of the lists in its list boxes and writes them to the settings
// store only on "ＯＫ(&Y)".
#pragma once
#include <string>

#include "ui/Controls.h"

class TForm2 : public ui::Form {
public:
    TForm2();

    ui::PageControl PageControl1;
    ui::TabSheet TabSheet1;
    ui::RadioGroup RadioGroup1;
    ui::Memo Memo1;
    ui::TabSheet TabSheet2;
    // Each list's label stands just before it: screen readers name a list
    // after the static text before it.
    ui::Label Label2;
    ui::Label Label1;
    ui::ListBox ListBox1;
    ui::Button Button3;
    ui::Button Button4;
    ui::Button Button5;
    ui::Panel Panel2;
    ui::Label Label3;
    ui::Edit Edit1;
    ui::RadioGroup RadioGroup2;
    ui::Button Button6;
    ui::Button Button7;
    ui::TabSheet TabSheet3;
    ui::Label Label5;
    ui::Label Label4;
    ui::ListBox ListBox2;
    ui::Button Button8;
    ui::Button Button9;
    ui::Button Button10;
    ui::Panel Panel3;
    ui::Label Label11;
    ui::Edit Edit2;
    ui::RadioGroup RadioGroup3;
    ui::Button Button11;
    ui::Button Button12;
    ui::Panel Panel1;
    ui::Button Button1;
    ui::Button Button2;

    bool Accepted = false;
    std::string InitialRadiusText;
    std::string InitialDiameterText;

    void FormShow();
    void FormClose() {}
    void ShowRadiusEntry(const std::string& text);
    void ShowDiameterEntry(const std::string& text);

    void Button3Click(ui::Button& sender);  // ▲, both lists
    void Button4Click(ui::Button& sender);  // ▼
    void Button5Click(ui::Button& sender);  // 削除
    void ListBox1Click();
    void ListBox2Click();
    void Button6Click();
    void Button7Click();
    void Button11Click();
    void Button12Click();
    void Button1Click();  // ＯＫ(&Y)
    void Button2Click();  // キャンセル(&N)

    // The list box a shared handler acts on: "ListBox" + the button's tag.
    ui::ListBox* ListFor(const ui::Button& sender);

private:
    void AddEntry(ui::ListBox& list, ui::Edit& edit, ui::RadioGroup& units);
    void ReplaceEntry(ui::ListBox& list, ui::Edit& edit, ui::RadioGroup& units);
};

// A list box refuses entries beyond this many; adding stops there.
constexpr int kMaxListEntries = 32766;
