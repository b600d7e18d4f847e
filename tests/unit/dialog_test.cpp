// The settings dialog, shown modally from the palette's settings button with a
// headless stand-in for the user.
#include <functional>
#include <string>
#include <vector>

#include "tests/unit/palette_fixture.h"

namespace palette_test {
namespace {

using Strings = std::vector<std::string>;

class Dialog : public PaletteTest {
protected:
    void SetUp() override {
        PaletteTest::SetUp();
        Write(ConfigPath(), Lines({"196", "104", "193", "115", "0", "3", "a1", "b2", "c3", "2", "d1", "e2"}));
        palette.FormShow();
        // Whatever interval the timer had, the settings button leaves 1000.
        palette.Timer1.SetInterval(100000);
    }
    // Presses the settings button; `user` acts while the dialog is shown.
    void Open(std::function<void(TForm2&)> user) {
        windows.user = [this, user] {
            EXPECT_FALSE(palette.stayOnTop()) << "the dialog shows above the palette";
            EXPECT_FALSE(palette.Timer1.enabled());
            if (user) user(dialog);
        };
        const int starts = windows.restarts;
        palette.Button1.Click();
        EXPECT_EQ(windows.restarts, starts + 1);
        EXPECT_TRUE(palette.stayOnTop());
        EXPECT_TRUE(palette.Timer1.enabled());
        EXPECT_EQ(palette.Timer1.interval(), 1000u);
    }
    void Pick(ui::ComboBox& combo, const std::string& text) {
        for (std::size_t i = 0; i < combo.items().size(); ++i)
            if (combo.items()[i] == text) return combo.UserPick(static_cast<int>(i));
        combo.UserEdited({text, text.size(), 0});
    }
};

TEST_F(Dialog, ShowsTheCurrentTextsSplitIntoNumberAndUnit) {
    Pick(palette.ComboBox1, "12.5" + kZusun + "mm");
    Pick(palette.ComboBox2, "3" + kFullM);
    Open([&](TForm2& d) {
        EXPECT_FALSE(d.Accepted);
        EXPECT_EQ(d.Edit1.text(), "12.5");
        EXPECT_EQ(d.RadioGroup2.itemIndex(), 1);
        EXPECT_EQ(d.Edit2.text(), "3");
        EXPECT_EQ(d.RadioGroup3.itemIndex(), 2);
        EXPECT_EQ(d.ListBox1.items(), (Strings{"a1", "b2", "c3"}));
        EXPECT_EQ(d.ListBox2.items(), (Strings{"d1", "e2"}));
        EXPECT_EQ(d.ListBox1.itemIndex(), -1);
        EXPECT_EQ(d.RadioGroup1.itemIndex(), 0);
        d.Button2.Click();
    });
    Pick(palette.ComboBox1, kUnspecified);
    Pick(palette.ComboBox2, "4" + kZusun + kFullM);
    Open([&](TForm2& d) {
        EXPECT_EQ(d.Edit1.text(), kUnspecified);
        EXPECT_EQ(d.RadioGroup2.itemIndex(), 0);
        EXPECT_EQ(d.Edit2.text(), "4");
        EXPECT_EQ(d.RadioGroup3.itemIndex(), 3);
    });
}

// The dialog's window is made on first use: it must exist before the show
// handling fills the controls, or the window would start out empty.
TEST_F(Dialog, AWindowIsAskedForBeforeTheShowHandlingFillsTheControls) {
    Pick(palette.ComboBox1, "12.5" + kZusun + "mm");
    int asked = 0;
    std::string atCreation;
    dialog.OnMakeWindow = [&](ui::Form& f) {
        ++asked;
        EXPECT_EQ(&f, &dialog);
        atCreation = dialog.Edit1.text();
        windows.Attach(f);
        return true;
    };
    Open([&](TForm2& d) {
        EXPECT_EQ(d.Edit1.text(), "12.5");
        d.Button2.Click();
    });
    EXPECT_EQ(asked, 1);
    EXPECT_NE(atCreation, "12.5");
}

// Out of window handles the dialog cannot be made: the palette goes on as
// before (on top, its timer running) instead of waiting for a window that
// does not exist, and nothing of the dialog's runs.
TEST_F(Dialog, WithoutAWindowForTheDialogThePaletteCarriesOn) {
    dialog.OnMakeWindow = [](ui::Form&) { return false; };
    bool shown = false;
    const int height = palette.clientHeight();
    Open([&](TForm2&) { shown = true; });
    EXPECT_FALSE(shown);
    EXPECT_TRUE(dialog.ListBox1.items().empty()) << "the show handling ran";
    EXPECT_EQ(palette.clientHeight(), height);
}

TEST_F(Dialog, MovesKeepTheEntrySelectedAndLeaveTheEntryFieldsAlone) {
    Open([&](TForm2& d) {
        auto untouched = [&] {
            EXPECT_EQ(d.Edit1.text(), "99");
            EXPECT_EQ(d.RadioGroup2.itemIndex(), 3);
        };
        d.Edit1.SetText("99");
        d.RadioGroup2.UserSelect(3);

        d.Button3.Click();  // nothing selected
        d.Button4.Click();
        EXPECT_EQ(d.ListBox1.items(), (Strings{"a1", "b2", "c3"}));

        d.ListBox1.SetItemIndex(0);
        d.Button3.Click();  // ▲ on the first
        d.ListBox1.SetItemIndex(2);
        d.Button4.Click();  // ▼ on the last
        EXPECT_EQ(d.ListBox1.items(), (Strings{"a1", "b2", "c3"}));
        EXPECT_EQ(d.ListBox1.itemIndex(), 2);

        d.ListBox1.SetItemIndex(1);
        d.Button3.Click();
        EXPECT_EQ(d.ListBox1.items(), (Strings{"b2", "a1", "c3"}));
        EXPECT_EQ(d.ListBox1.itemIndex(), 0);
        d.Button4.Click();
        d.Button4.Click();
        EXPECT_EQ(d.ListBox1.items(), (Strings{"a1", "c3", "b2"}));
        EXPECT_EQ(d.ListBox1.itemIndex(), 2);
        untouched();

        // The diameter buttons act on the diameter list only.
        d.ListBox2.SetItemIndex(1);
        d.Button8.Click();
        EXPECT_EQ(d.ListBox2.items(), (Strings{"e2", "d1"}));
        EXPECT_EQ(d.ListBox2.itemIndex(), 0);
        d.Button9.Click();
        EXPECT_EQ(d.ListBox2.items(), (Strings{"d1", "e2"}));
        EXPECT_EQ(d.ListBox1.items(), (Strings{"a1", "c3", "b2"}));
        untouched();

        // A one-entry list has nothing to move.
        d.ListBox2.Assign({"only"});
        d.ListBox2.SetItemIndex(0);
        d.Button9.Click();
        d.Button8.Click();
        EXPECT_EQ(d.ListBox2.items(), Strings{"only"});
    });
}

TEST_F(Dialog, SelectingDeletingAndReplacingEntries) {
    Open([&](TForm2& d) {
        d.ListBox1.UserSelect(1);
        EXPECT_EQ(d.Edit1.text(), "b2");
        d.ListBox2.Assign({"7" + kZusun + kFullM});
        d.ListBox2.UserSelect(0);
        EXPECT_EQ(d.Edit2.text(), "7");
        EXPECT_EQ(d.RadioGroup3.itemIndex(), 3);

        d.Edit1.SetText("8");
        d.RadioGroup2.UserSelect(1);
        d.Button7.Click();
        EXPECT_EQ(d.ListBox1.items(), (Strings{"a1", "8" + kZusun + "mm", "c3"}));
        EXPECT_EQ(d.ListBox1.itemIndex(), 1);

        d.Button5.Click();
        EXPECT_EQ(d.ListBox1.items(), (Strings{"a1", "c3"}));
        EXPECT_EQ(d.ListBox1.itemIndex(), -1);
        EXPECT_EQ(d.Edit1.text(), "8");
        d.Button5.Click();  // nothing selected
        d.Button7.Click();
        EXPECT_EQ(d.ListBox1.items(), (Strings{"a1", "c3"}));

        d.ListBox2.SetItemIndex(0);
        d.Button10.Click();
        EXPECT_TRUE(d.ListBox2.items().empty());
    });
}

TEST_F(Dialog, AddingValidatesTheNumberAndAppendsWithTheUnit) {
    Open([&](TForm2& d) {
        d.ListBox1.SetItemIndex(0);
        d.Edit2.SetFocus();
        d.Edit1.SetText("abc");
        d.Button6.Click();
        EXPECT_EQ(d.ListBox1.count(), 3);
        EXPECT_EQ(windows.focused, &d.Edit1);

        d.Edit1.SetText("25");
        d.RadioGroup2.UserSelect(2);
        d.Button6.Click();
        EXPECT_EQ(d.ListBox1.items(), (Strings{"a1", "b2", "c3", "25\x82\x8D"}));
        EXPECT_EQ(d.ListBox1.itemIndex(), 0) << "the selection stays";
        EXPECT_EQ(d.Edit1.text(), "25");
        d.Button6.Click();
        EXPECT_EQ(d.ListBox1.count(), 5) << "duplicates are accepted";

        d.Edit1.SetFocus();
        d.Edit2.SetText("\x82\x54");  // a full-width digit is no digit
        d.Button11.Click();
        EXPECT_EQ(d.ListBox2.count(), 2);
        EXPECT_EQ(windows.focused, &d.Edit2);
        d.Edit2.SetText("-5");
        d.RadioGroup3.UserSelect(1);
        d.Button11.Click();
        EXPECT_EQ(d.ListBox2.items().back(), "-5" + kZusun + "mm");

        d.ListBox2.SetItemIndex(0);
        d.Edit2.SetText("   ");
        d.Edit1.SetFocus();
        d.Button12.Click();
        EXPECT_EQ(d.ListBox2.items().front(), "d1");
        EXPECT_EQ(windows.focused, &d.Edit2);
    });
}

TEST_F(Dialog, AddingStopsAtTheListBoxLimit) {
    windows.Attach(dialog);
    dialog.ListBox1.Assign(Strings(kMaxListEntries - 1, "1"));
    dialog.Edit1.SetText("2");
    dialog.RadioGroup2.SetItemIndex(0);
    dialog.Button6Click();
    EXPECT_EQ(dialog.ListBox1.count(), 32766);
    EXPECT_EQ(dialog.ListBox1.items().back(), "2");
    dialog.Edit1.SetText("abc");
    dialog.Edit2.SetFocus();
    dialog.Button6Click();
    EXPECT_EQ(dialog.ListBox1.count(), 32766);
    EXPECT_NE(windows.focused, &dialog.Edit1) << "a full list does nothing at all";
}

TEST_F(Dialog, OkWritesListsBackAndThePaletteRefillsItsCombos) {
    const std::string selection = Read(SelectionPath());
    const int writes = Calls(os::Op::Write);
    Open([&](TForm2& d) {
        for (ui::ListBox* list : {&d.ListBox1, &d.ListBox2}) {
            while (list->count() > 0) {
                list->SetItemIndex(0);
                (list == &d.ListBox1 ? d.Button5 : d.Button10).Click();
            }
        }
        d.Button1.Click();
        EXPECT_TRUE(d.closed);
    });
    EXPECT_TRUE(dialog.Accepted);
    EXPECT_EQ(Settings().RadiusCount, 0);
    EXPECT_TRUE(Settings().RadiusList.empty());
    EXPECT_EQ(Settings().DiameterCount, 0);
    EXPECT_EQ(palette.ComboBox1.items(), Strings{kUnspecified});
    EXPECT_EQ(palette.ComboBox2.items(), Strings{kUnspecified});
    EXPECT_EQ(palette.ComboBox1.text(), kUnspecified);
    EXPECT_EQ(palette.RadiusText, kUnspecified);
    EXPECT_EQ(palette.Mode, 0);
    EXPECT_EQ(Calls(os::Op::Write), writes) << "the selection file is not written";
    EXPECT_EQ(Read(SelectionPath()), selection);

    palette.Close();
    EXPECT_EQ(Read(ConfigPath()), Lines({"196", "104", "193", "115", "0", "0", "0"}));
}

TEST_F(Dialog, OkAfterEditsKeepsThePaletteChoice) {
    palette.ComboBox1.UserEdited({"typed", 5, 0});
    Pick(palette.ComboBox2, "e2");
    const std::string selection = Read(SelectionPath());
    const int writes = Calls(os::Op::Write);
    Open([&](TForm2& d) {
        d.Edit1.SetText("6");
        d.Button6.Click();
        d.RadioGroup1.UserSelect(1);
        d.SetPosition(300, 310);
        d.Button1.Click();
    });
    EXPECT_EQ(palette.ComboBox1.text(), "typed");
    EXPECT_EQ(palette.ComboBox2.text(), "e2");
    EXPECT_EQ(palette.RadiusText, "typed");
    EXPECT_EQ(palette.DiameterText, "e2");
    EXPECT_EQ(palette.Mode, 1);
    EXPECT_TRUE(palette.RadioButton2.checked());
    EXPECT_EQ(palette.ComboBox1.items(), (Strings{kUnspecified, "a1", "b2", "c3", "6"}));
    EXPECT_EQ(Calls(os::Op::Write), writes);
    EXPECT_EQ(Read(SelectionPath()), selection);

    palette.Close();
    EXPECT_EQ(Read(ConfigPath()),
              Lines({"196", "104", "300", "310", "1", "4", "a1", "b2", "c3", "6", "2", "d1", "e2"}));
}

TEST_F(Dialog, VerticalTakesEffectOnOkOnly) {
    palette.ComboBox1.UserPick(2);
    Open([&](TForm2& d) {
        d.RadioGroup1.UserSelect(1);
        d.Button2.Click();
    });
    EXPECT_FALSE(dialog.Accepted);
    EXPECT_EQ(Settings().ScreenType, 0);
    EXPECT_EQ(Layout(), kHorizontal);
    EXPECT_EQ(palette.ComboBox1.itemIndex(), 2) << "the palette was not rearranged";

    Open([&](TForm2& d) {
        EXPECT_EQ(d.RadioGroup1.itemIndex(), 0) << "each showing starts from the store";
        d.RadioGroup1.UserSelect(1);
        d.Button1.Click();
    });
    EXPECT_EQ(Settings().ScreenType, 1);
    EXPECT_EQ(Layout(), kVertical);
}

TEST_F(Dialog, ScreenTypesOutsideTheItems) {
    Settings().ScreenType = 2;
    Open([&](TForm2& d) {
        EXPECT_EQ(d.RadioGroup1.itemIndex(), 1);
        d.Button1.Click();
    });
    EXPECT_EQ(Settings().ScreenType, 1);

    Settings().ScreenType = 0;
    palette.ArrangePanels();
    Settings().ScreenType = -3;
    Open([&](TForm2& d) {
        EXPECT_EQ(d.RadioGroup1.itemIndex(), -1);
        d.Button1.Click();
    });
    EXPECT_EQ(Settings().ScreenType, -1);
    EXPECT_EQ(Layout(), kVertical);
}

TEST_F(Dialog, ClosingWithoutButtonsDropsTheEdits) {
    Open([&](TForm2& d) { d.Button1.Click(); });
    ASSERT_TRUE(dialog.Accepted);
    palette.ComboBox1.UserPick(1);
    Open([&](TForm2& d) {
        d.ListBox1.SetItemIndex(0);
        d.Button5.Click();
        d.RadioGroup1.UserSelect(1);
        d.Close();  // the title-bar close box
    });
    EXPECT_FALSE(dialog.Accepted);
    EXPECT_EQ(Settings().RadiusList, (Strings{"a1", "b2", "c3"}));
    EXPECT_EQ(Settings().ScreenType, 0);
    EXPECT_EQ(palette.ComboBox1.items().size(), 4u);
    EXPECT_EQ(palette.ComboBox1.itemIndex(), 1) << "the palette was not rearranged";
    Open([&](TForm2& d) { EXPECT_EQ(d.ListBox1.items(), (Strings{"a1", "b2", "c3"})); });
}

}  // namespace
}  // namespace palette_test
