// The sync file: a companion program writes k307.ini with a time stamp and
// new texts; the palette takes them over when they are newer than its own.
// The companion is played by the test itself.
#include "tests/e2e/Fixture.h"

namespace e2e {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class SyncTest : public PaletteTest {
protected:
    bool Shows(std::wstring_view radius, std::wstring_view diameter) {
        return TextOf(palette.Control(201)) == Cp932(radius) && TextOf(palette.Control(202)) == Cp932(diameter);
    }
};

TEST_F(SyncTest, NewerValuesAreTakenOverAndTheModeStays) {
    ASSERT_TRUE(palette.StartAndWait());
    E2E_CONTROL(radio2, palette.window(), 302);
    ::SendMessageW(radio2, BM_CLICK, 0, 0);
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 1));

    ASSERT_TRUE(WriteBytes(palette.syncFile(), SyncContent(LocalDateTimeNumber(), L"5図寸mm", L"8ｍ")));
    EXPECT_TRUE(WaitFor([&] { return Shows(L"5図寸mm", L"8ｍ"); }, seconds(10)))
        << "the palette shows " << Readable(TextOf(palette.Control(201))) << " and "
        << Readable(TextOf(palette.Control(202)));
    EXPECT_TRUE(SelectionFileBecomes(L"5図寸mm", L"8ｍ", 1, seconds(5)));
    EXPECT_TRUE(IsChecked(radio2));
    EXPECT_FALSE(IsChecked(palette.Control(301)));
    // Taken over as texts: the preset lists stay as they were.
    EXPECT_EQ(ComboItems(palette.Control(201)), std::vector<std::string>{Cp932(kUnspecified)});

    // New texts under a time stamp from before the adoption: read, not taken.
    const double old = LocalDateTimeNumber(-1.0 / 24);
    ASSERT_TRUE(WaitForNextStampStep(palette.syncFile()));
    ASSERT_TRUE(WriteBytes(palette.syncFile(), SyncContent(old, L"6", L"9")));
    EXPECT_TRUE(HoldsFor([&] { return Shows(L"5図寸mm", L"8ｍ"); }, milliseconds(2500)));
    EXPECT_TRUE(SelectionFileBecomes(L"5図寸mm", L"8ｍ", 1, milliseconds(0)));

    // A time stamp that is not a number is never newer.
    ASSERT_TRUE(WaitForNextStampStep(palette.syncFile()));
    ASSERT_TRUE(WriteBytes(palette.syncFile(), Lines({L"soon", L"6", L"9"})));
    EXPECT_TRUE(HoldsFor([&] { return Shows(L"5図寸mm", L"8ｍ"); }, milliseconds(2500)));

    // A fresh stamp again is taken over, blanks and all.
    ASSERT_TRUE(WaitForNextStampStep(palette.syncFile()));
    ASSERT_TRUE(WriteBytes(palette.syncFile(), SyncContent(LocalDateTimeNumber(), L" 6 ", L"")));
    EXPECT_TRUE(WaitFor([&] { return Shows(L" 6 ", L""); }, seconds(10)));
    EXPECT_TRUE(SelectionFileBecomes(L" 6 ", L"", 1, seconds(5)));
}

TEST_F(SyncTest, FileOlderThanTheStartIsNotTakenOver) {
    ASSERT_TRUE(WriteBytes(palette.syncFile(), SyncContent(LocalDateTimeNumber(-1.0 / 1440), L"5", L"8")));
    ASSERT_TRUE(palette.StartAndWait());
    EXPECT_TRUE(HoldsFor([&] { return Shows(kUnspecified, kUnspecified); }, milliseconds(2500)));
    EXPECT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 0, milliseconds(0)));
}

TEST_F(SyncTest, FileHeldByItsWriterIsTakenOverOnceReleased) {
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 0));
    {
        HeldFile writing(palette.syncFile(), true, SyncContent(LocalDateTimeNumber(), L"7", L"12.5図寸mm"));
        ASSERT_TRUE(writing.held());
        EXPECT_TRUE(HoldsFor([&] { return Shows(kUnspecified, kUnspecified); }, milliseconds(2500)));
        EXPECT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 0, milliseconds(0)));
    }
    EXPECT_TRUE(WaitFor([&] { return Shows(L"7", L"12.5図寸mm"); }, seconds(10)));
    EXPECT_TRUE(SelectionFileBecomes(L"7", L"12.5図寸mm", 0, seconds(5)));
}

}  // namespace
}  // namespace e2e
