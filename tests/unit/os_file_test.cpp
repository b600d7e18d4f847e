#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "os/Faults.h"
#include "os/Os.h"
#include "tests/helpers/TestSupport.h"

namespace {

using testkit::Exists;
using testkit::ReadBytes;
using testkit::WriteBytes;

class OsFile : public ::testing::Test {
protected:
    void SetUp() override {
        os::Faults::Clear();
        openBefore_ = os::Faults::OpenFiles();
    }
    void TearDown() override {
        os::Faults::Clear();
        EXPECT_EQ(os::Faults::OpenFiles(), openBefore_) << "a test left a file open";
    }

    std::string ReadAllThroughLayer(const os::Path& path) {
        os::File f = os::File::OpenRead(path);
        EXPECT_TRUE(f.IsOpen());
        std::string all;
        char buf[7];  // small, so that reads come in many pieces
        std::size_t got = 0;
        while (f.Read(buf, sizeof buf, got) && got > 0) all.append(buf, got);
        EXPECT_TRUE(f.Close());
        return all;
    }

    testkit::ScratchDir dir_;
    int openBefore_ = 0;
};

TEST_F(OsFile, WrittenBytesReadBackExactly) {
    const os::Path path = dir_ / "k307.dat";
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    bytes += "\r\n\n\r\x1A tail";
    {
        os::File f = os::File::CreateWrite(path);
        ASSERT_TRUE(f.IsOpen());
        EXPECT_TRUE(f.Write(bytes.substr(0, 100)));
        EXPECT_TRUE(f.Write(""));
        EXPECT_TRUE(f.Write(bytes.substr(100)));
        EXPECT_TRUE(f.Flush());
        EXPECT_TRUE(f.Close());
        EXPECT_FALSE(f.IsOpen());
    }
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(ReadAllThroughLayer(path), bytes);
}

TEST_F(OsFile, CreateWriteTruncatesOrCreates) {
    const os::Path path = dir_ / "k307.ini";
    ASSERT_TRUE(WriteBytes(path, "a much longer old content\r\n"));
    {
        os::File f = os::File::CreateWrite(path);
        ASSERT_TRUE(f.IsOpen());
        EXPECT_EQ(ReadBytes(path), "") << "truncated at once";
        EXPECT_TRUE(f.Write("new"));
    }
    EXPECT_EQ(ReadBytes(path), "new");
    {
        os::File f = os::File::CreateWrite(path);
        ASSERT_TRUE(f.IsOpen());
    }
    EXPECT_EQ(ReadBytes(path), "") << "an empty write still truncates";
}

TEST_F(OsFile, ReadReportsTheEndWithZeroBytes) {
    const os::Path path = dir_ / "small";
    ASSERT_TRUE(WriteBytes(path, "abc"));
    os::File f = os::File::OpenRead(path);
    ASSERT_TRUE(f.IsOpen());
    char buf[16];
    std::size_t got = 99;
    ASSERT_TRUE(f.Read(buf, sizeof buf, got));
    EXPECT_EQ(std::string(buf, got), "abc");
    ASSERT_TRUE(f.Read(buf, sizeof buf, got));
    EXPECT_EQ(got, 0u);
    ASSERT_TRUE(f.Read(buf, sizeof buf, got));
    EXPECT_EQ(got, 0u);
}

TEST_F(OsFile, OpenReadFailsForMissingFilesAndFolders) {
    EXPECT_FALSE(os::File::OpenRead(dir_ / "missing").IsOpen());
    EXPECT_FALSE(os::File::OpenRead(dir_ / "no-such-folder/missing").IsOpen());
    ASSERT_TRUE(testkit::MakeFolder(dir_ / "sub"));
    EXPECT_FALSE(os::File::OpenRead(dir_ / "sub").IsOpen());
    EXPECT_FALSE(os::File::CreateWrite(dir_ / "sub").IsOpen());
    EXPECT_FALSE(os::File::CreateWrite(dir_ / "no-such-folder/new").IsOpen());
    EXPECT_FALSE(os::File::CreateWrite(dir_ / "no-such-folder/new").InUse()) << "nobody holds a missing folder";
    EXPECT_FALSE(Exists(dir_ / "missing"));
}

TEST_F(OsFile, AClosedFileRefusesWork) {
    os::File never;
    char buf[4];
    std::size_t got = 5;
    EXPECT_FALSE(never.IsOpen());
    EXPECT_FALSE(never.Read(buf, sizeof buf, got));
    EXPECT_EQ(got, 0u);
    EXPECT_FALSE(never.Write("x"));
    EXPECT_FALSE(never.Flush());
    EXPECT_TRUE(never.Close()) << "closing what is not open is no error";

    os::File f = os::File::CreateWrite(dir_ / "f");
    ASSERT_TRUE(f.IsOpen());
    EXPECT_TRUE(f.Close());
    EXPECT_FALSE(f.Write("x"));
    EXPECT_TRUE(f.Close());
}

#ifdef _WIN32
#define SEP "\\"
// The form in which the test's own calls reach a path of any length.
os::Path Reachable(const os::Path& path) {
    return L"\\\\?\\" + path;
}
#else
#define SEP "/"
os::Path Reachable(const os::Path& path) {
    return path;
}
#endif

TEST_F(OsFile, WorksInAFolderWithAJapaneseOrALongName) {
    // 図面; and a name that takes the files' paths past MAX_PATH (260),
    // which Windows refuses unless the path comes in its extended form.
    for (const std::string& name : {std::string("\xE5\x9B\xB3\xE9\x9D\xA2"), std::string(230, 'd')}) {
        SCOPED_TRACE(name.size());
        const os::Path folder = dir_ / name;
        ASSERT_TRUE(testkit::MakeFolder(Reachable(folder)));
        const os::Path path = dir_ / (name + SEP "k307palette.dat");
        const os::Path temp = dir_ / (name + SEP "k307palette.tmp");
        {
            os::File f = os::File::CreateWrite(temp);
            ASSERT_TRUE(f.IsOpen());
            EXPECT_TRUE(f.Write("\x90\x7D\x90\xA1"));
        }
        EXPECT_TRUE(os::ReplaceFile(temp, path));
        EXPECT_EQ(ReadAllThroughLayer(path), "\x90\x7D\x90\xA1");
        EXPECT_NE(os::FileStamp(path), -1);
        EXPECT_TRUE(os::DeleteFile(path));
        EXPECT_FALSE(Exists(Reachable(path)));
        EXPECT_FALSE(Exists(Reachable(temp)));
        EXPECT_TRUE(std::filesystem::remove(Reachable(folder))) << "nothing else left in the folder";
    }
}

#ifdef _WIN32
TEST_F(OsFile, CreateWriteKeepsAHiddenOrSystemFileSo) {
    for (DWORD attributes : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM},
                             DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
        SCOPED_TRACE(attributes);
        const os::Path path = dir_ / "k307.dat";
        ASSERT_TRUE(WriteBytes(path, "a much longer old content\r\n"));
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
        {
            os::File f = os::File::CreateWrite(path);
            ASSERT_TRUE(f.IsOpen());
            EXPECT_TRUE(f.Write("new"));
        }
        EXPECT_EQ(ReadBytes(path), "new");
        EXPECT_EQ(::GetFileAttributesW(path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), attributes);
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    }
}
#endif

TEST_F(OsFile, MovingHandsTheHandleOver) {
    const os::Path path = dir_ / "moved";
    os::File a = os::File::CreateWrite(path);
    ASSERT_TRUE(a.IsOpen());
    const int open = os::Faults::OpenFiles();
    os::File b(std::move(a));
    EXPECT_FALSE(a.IsOpen());
    EXPECT_TRUE(b.IsOpen());
    EXPECT_TRUE(b.Write("one"));
    os::File c;
    c = std::move(b);
    EXPECT_TRUE(c.Write("two"));
    EXPECT_EQ(os::Faults::OpenFiles(), open);

    // Assigning over an open file closes it.
    ASSERT_TRUE(WriteBytes(dir_ / "other", "x"));
    os::File d = os::File::OpenRead(dir_ / "other");
    ASSERT_TRUE(d.IsOpen());
    EXPECT_EQ(os::Faults::OpenFiles(), open + 1);
    d = os::File();
    EXPECT_EQ(os::Faults::OpenFiles(), open);
    EXPECT_TRUE(c.Close());
    EXPECT_EQ(ReadBytes(path), "onetwo");
}

TEST_F(OsFile, OpenFilesCountsHandlesHeld) {
    const int base = os::Faults::OpenFiles();
    ASSERT_TRUE(WriteBytes(dir_ / "r", "r"));
    {
        os::File w = os::File::CreateWrite(dir_ / "w");
        EXPECT_EQ(os::Faults::OpenFiles(), base + 1);
        os::File r1 = os::File::OpenRead(dir_ / "r");
        os::File r2 = os::File::OpenRead(dir_ / "r");  // readers share
        ASSERT_TRUE(r1.IsOpen() && r2.IsOpen());
        EXPECT_EQ(os::Faults::OpenFiles(), base + 3);
        r1.Close();
        EXPECT_EQ(os::Faults::OpenFiles(), base + 2);
        // A failed open holds nothing.
        EXPECT_FALSE(os::File::OpenRead(dir_ / "missing").IsOpen());
        EXPECT_EQ(os::Faults::OpenFiles(), base + 2);
    }
    EXPECT_EQ(os::Faults::OpenFiles(), base);
}

TEST_F(OsFile, DeleteFileRemovesOnlyFiles) {
    const os::Path path = dir_ / "gone";
    ASSERT_TRUE(WriteBytes(path, "x"));
    EXPECT_TRUE(os::DeleteFile(path));
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(os::DeleteFile(path)) << "nothing left to delete";
    ASSERT_TRUE(testkit::MakeFolder(dir_ / "sub"));
    EXPECT_FALSE(os::DeleteFile(dir_ / "sub"));
    EXPECT_TRUE(Exists(dir_ / "sub"));
}

TEST_F(OsFile, ReplaceFileMovesTheSourceOverTheTarget) {
    const os::Path source = dir_ / "k307.dat.new";
    const os::Path target = dir_ / "k307.dat";
    ASSERT_TRUE(WriteBytes(source, "new content"));
    ASSERT_TRUE(WriteBytes(target, "old"));
    EXPECT_TRUE(os::ReplaceFile(source, target));
    EXPECT_EQ(ReadBytes(target), "new content");
    EXPECT_FALSE(Exists(source));

    // A missing target is simply created.
    ASSERT_TRUE(WriteBytes(source, "first"));
    const os::Path fresh = dir_ / "fresh";
    EXPECT_TRUE(os::ReplaceFile(source, fresh));
    EXPECT_EQ(ReadBytes(fresh), "first");

    // A missing source fails and leaves the target.
    EXPECT_FALSE(os::ReplaceFile(dir_ / "missing", target));
    EXPECT_EQ(ReadBytes(target), "new content");
}

// ---- fault injection

class OsFaults : public OsFile {};

TEST_F(OsFaults, FailNthFailsExactlyTheNthCallOfItsKind) {
    const os::Path path = dir_ / "f";
    ASSERT_TRUE(WriteBytes(path, "x"));
    os::Faults::FailNth(os::Op::Open, 3);
    bool opened[5];
    for (bool& o : opened) o = os::File::OpenRead(path).IsOpen();
    EXPECT_TRUE(opened[0]);
    EXPECT_TRUE(opened[1]);
    EXPECT_FALSE(opened[2]);
    EXPECT_TRUE(opened[3]);
    EXPECT_TRUE(opened[4]);
    EXPECT_EQ(os::Faults::Calls(os::Op::Open), 5);
}

TEST_F(OsFaults, CountsFromTheMomentOfTheCall) {
    const os::Path path = dir_ / "f";
    ASSERT_TRUE(WriteBytes(path, "x"));
    EXPECT_TRUE(os::File::OpenRead(path).IsOpen());
    EXPECT_TRUE(os::File::OpenRead(path).IsOpen());
    os::Faults::FailNth(os::Op::Open, 1);
    EXPECT_FALSE(os::File::CreateWrite(path).IsOpen()) << "both opens are of one kind";
    EXPECT_TRUE(os::File::CreateWrite(path).IsOpen());
    os::Faults::FailNth(os::Op::Open, 2);
    os::Faults::FailNth(os::Op::Open, 0);  // 0 disarms
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(os::File::OpenRead(path).IsOpen()) << i;
}

TEST_F(OsFaults, KindsAreCountedApart) {
    const os::Path path = dir_ / "f";
    os::Faults::FailNth(os::Op::Write, 2);
    os::File f = os::File::CreateWrite(path);
    ASSERT_TRUE(f.IsOpen());
    EXPECT_TRUE(f.Write("a"));
    EXPECT_FALSE(f.Write("b"));
    EXPECT_TRUE(f.Write("c"));
    EXPECT_EQ(os::Faults::Calls(os::Op::Write), 3);
    EXPECT_EQ(os::Faults::Calls(os::Op::Open), 1);
    EXPECT_EQ(os::Faults::Calls(os::Op::Read), 0);
    f.Close();
    EXPECT_EQ(ReadBytes(path), "ac") << "a failed write writes nothing";
}

TEST_F(OsFaults, EveryKindCanBeMadeToFail) {
    const os::Path path = dir_ / "f";
    ASSERT_TRUE(WriteBytes(path, "data"));
    char buf[8];
    std::size_t got = 0;

    os::Faults::FailNth(os::Op::Read, 1);
    {
        os::File f = os::File::OpenRead(path);
        EXPECT_FALSE(f.Read(buf, sizeof buf, got));
        EXPECT_EQ(got, 0u);
        EXPECT_TRUE(f.Read(buf, sizeof buf, got));
        EXPECT_EQ(std::string(buf, got), "data");
    }

    os::Faults::FailNth(os::Op::Flush, 1);
    {
        os::File f = os::File::CreateWrite(path);
        EXPECT_FALSE(f.Flush());
        EXPECT_TRUE(f.Flush());
    }

    os::Faults::FailNth(os::Op::Close, 1);
    {
        os::File f = os::File::OpenRead(path);
        const int open = os::Faults::OpenFiles();
        EXPECT_FALSE(f.Close());
        EXPECT_FALSE(f.IsOpen()) << "a failed close still lets go of the handle";
        EXPECT_EQ(os::Faults::OpenFiles(), open - 1);
    }

    os::Faults::FailNth(os::Op::Delete, 1);
    EXPECT_FALSE(os::DeleteFile(path));
    EXPECT_TRUE(Exists(path));
    EXPECT_TRUE(os::DeleteFile(path));

    ASSERT_TRUE(WriteBytes(path, "target"));
    ASSERT_TRUE(WriteBytes(dir_ / "src", "source"));
    os::Faults::FailNth(os::Op::Replace, 1);
    EXPECT_FALSE(os::ReplaceFile(dir_ / "src", path));
    EXPECT_EQ(ReadBytes(path), "target");
    EXPECT_TRUE(os::ReplaceFile(dir_ / "src", path));
    EXPECT_EQ(ReadBytes(path), "source");

    os::Faults::FailNth(os::Op::Stamp, 1);
    EXPECT_EQ(os::FileStamp(path), -1);
    EXPECT_NE(os::FileStamp(path), -1);
}

TEST_F(OsFaults, ReplaceFileWaitsOutAShortHoldOnly) {
    const os::Path source = dir_ / "k307palette.tmp";
    const os::Path target = dir_ / "k307palette.dat";
    ASSERT_TRUE(WriteBytes(target, "old"));

    // A scanner holds the target for a few attempts: replaced once it lets go.
    ASSERT_TRUE(WriteBytes(source, "new"));
    os::Faults::HoldFor(os::Op::Replace, 3);
    EXPECT_TRUE(os::ReplaceFile(source, target));
    EXPECT_EQ(os::Faults::Calls(os::Op::Replace), 4);
    EXPECT_EQ(ReadBytes(target), "new");

    // A hold that outlasts the wait: given up, both files as they were.
    ASSERT_TRUE(WriteBytes(source, "newer"));
    os::Faults::Clear();
    os::Faults::HoldFor(os::Op::Replace, 1000);
    EXPECT_FALSE(os::ReplaceFile(source, target));
    EXPECT_GT(os::Faults::Calls(os::Op::Replace), 1);
    EXPECT_LT(os::Faults::Calls(os::Op::Replace), 1000) << "gave up long before the hold ended";
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(ReadBytes(source), "newer");

    // Any other failure is not waited for.
    os::Faults::Clear();
    os::Faults::FailNth(os::Op::Replace, 1);
    EXPECT_FALSE(os::ReplaceFile(source, target));
    EXPECT_EQ(os::Faults::Calls(os::Op::Replace), 1);
}

TEST_F(OsFaults, ClearDisarmsAndResetsTheCounts) {
    const os::Path path = dir_ / "f";
    ASSERT_TRUE(WriteBytes(path, "x"));
    os::Faults::FailNth(os::Op::Open, 1);
    os::Faults::Clear();
    EXPECT_EQ(os::Faults::Calls(os::Op::Open), 0);
    EXPECT_TRUE(os::File::OpenRead(path).IsOpen());
    EXPECT_EQ(os::Faults::Calls(os::Op::Open), 1);
}

}  // namespace
