// The sharing rule between processes: another process (tests/helpers/holdfile)
// holds a file open while this one tries to use it.
#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <string>

#include "common/TextFile.h"
#include "os/Faults.h"
#include "os/Os.h"
#include "tests/helpers/TestSupport.h"

namespace {

using testkit::FileHolder;
using testkit::HoldMode;
using testkit::ReadBytes;
using testkit::WriteBytes;

class Sharing : public ::testing::Test {
protected:
    void SetUp() override {
        os::Faults::Clear();
        ASSERT_TRUE(WriteBytes(file_, "held content\r\n"));
    }
    void TearDown() override { EXPECT_EQ(os::Faults::OpenFiles(), 0); }

    testkit::ScratchDir dir_;
    const os::Path file_ = dir_ / "k307.dat";
};

TEST_F(Sharing, AFileHeldForWritingCannotBeRead) {
    FileHolder holder(HoldMode::Write, file_, dir_);
    ASSERT_TRUE(holder.WaitUntilHolding()) << "helper exit code " << holder.ExitCode();
    EXPECT_FALSE(os::File::OpenRead(file_).IsOpen());
    EXPECT_FALSE(TextReader(file_).IsOpen());
    ASSERT_TRUE(holder.Release());
    EXPECT_TRUE(os::File::OpenRead(file_).IsOpen()) << "readable again once let go";
}

TEST_F(Sharing, AFileHeldForWritingCannotBeCreatedAnewOrDeleted) {
    FileHolder holder(HoldMode::Write, file_, dir_);
    ASSERT_TRUE(holder.WaitUntilHolding()) << "helper exit code " << holder.ExitCode();
    const os::File refused = os::File::CreateWrite(file_);
    EXPECT_FALSE(refused.IsOpen());
    EXPECT_TRUE(refused.InUse());
    EXPECT_FALSE(os::DeleteFile(file_));
    EXPECT_EQ(ReadBytes(file_), "held content\r\n") << "a refused create must not truncate";
    ASSERT_TRUE(holder.Release());
    EXPECT_TRUE(os::DeleteFile(file_));
}

TEST_F(Sharing, AFileHeldForReadingCannotBeCreatedAnewOrDeleted) {
    FileHolder holder(HoldMode::Read, file_, dir_);
    ASSERT_TRUE(holder.WaitUntilHolding()) << "helper exit code " << holder.ExitCode();
    const os::File refused = os::File::CreateWrite(file_);
    EXPECT_FALSE(refused.IsOpen());
    EXPECT_TRUE(refused.InUse());
    EXPECT_FALSE(os::DeleteFile(file_));
    EXPECT_EQ(ReadBytes(file_), "held content\r\n");
    ASSERT_TRUE(holder.Release());
    {
        os::File f = os::File::CreateWrite(file_);
        ASSERT_TRUE(f.IsOpen()) << "writable again once let go";
        EXPECT_TRUE(f.Write("new"));
    }
    EXPECT_EQ(ReadBytes(file_), "new");
}

TEST_F(Sharing, ReadersShareWithReaders) {
    FileHolder holder(HoldMode::Read, file_, dir_);
    ASSERT_TRUE(holder.WaitUntilHolding()) << "helper exit code " << holder.ExitCode();
    TextReader reader(file_);
    ASSERT_TRUE(reader.IsOpen());
    std::string line;
    EXPECT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "held content");
    reader.Close();
    ASSERT_TRUE(holder.Release());
}

TEST_F(Sharing, OurReaderKeepsOtherWritersOut) {
    os::File reader = os::File::OpenRead(file_);
    ASSERT_TRUE(reader.IsOpen());
    {
        FileHolder writer(HoldMode::Write, file_, dir_);
        EXPECT_FALSE(writer.WaitUntilHolding());
        EXPECT_EQ(writer.ExitCode(), FileHolder::kRefused);
        // A second reader is let in.
        FileHolder other(HoldMode::Read, file_, dir_);
        EXPECT_TRUE(other.WaitUntilHolding()) << "helper exit code " << other.ExitCode();
        EXPECT_TRUE(other.Release());
    }
    reader.Close();
    FileHolder writer(HoldMode::Write, file_, dir_);
    EXPECT_TRUE(writer.WaitUntilHolding()) << "helper exit code " << writer.ExitCode();
    EXPECT_TRUE(writer.Release());
}

TEST_F(Sharing, OurWriterKeepsOtherReadersAndWritersOut) {
    os::File writer = os::File::CreateWrite(file_);
    ASSERT_TRUE(writer.IsOpen());
    ASSERT_TRUE(writer.Write("being written"));
    for (HoldMode mode : {HoldMode::Read, HoldMode::Write}) {
        FileHolder other(mode, file_, dir_);
        EXPECT_FALSE(other.WaitUntilHolding());
        EXPECT_EQ(other.ExitCode(), FileHolder::kRefused);
    }
    writer.Close();
    EXPECT_EQ(ReadBytes(file_), "being written");
}

TEST_F(Sharing, ReplacingAHeldFileFailsAndLeavesBoth) {
    const os::Path source = dir_ / "k307.dat.new";
    for (HoldMode mode : {HoldMode::Read, HoldMode::Write}) {
        SCOPED_TRACE(mode == HoldMode::Read ? "held for reading" : "held for writing");
        ASSERT_TRUE(WriteBytes(source, "replacement"));
        {
            FileHolder holder(mode, file_, dir_);
            ASSERT_TRUE(holder.WaitUntilHolding()) << "helper exit code " << holder.ExitCode();
            // Told apart from other failures, so that the save waits for it.
            EXPECT_EQ(os::TryReplaceFile(source, file_), os::ReplaceOutcome::Held);
            EXPECT_EQ(ReadBytes(file_), "held content\r\n");
            EXPECT_EQ(ReadBytes(source), "replacement");
            ASSERT_TRUE(holder.Release());
        }
        EXPECT_TRUE(os::ReplaceFile(source, file_));
        EXPECT_EQ(ReadBytes(file_), "replacement");
        ASSERT_TRUE(WriteBytes(file_, "held content\r\n"));
    }
}

#ifdef _WIN32
// A reader may map the file instead of reading it; while its view lasts,
// Windows refuses to truncate the file (ERROR_USER_MAPPED_FILE), even with
// the reader's handle closed. That is a hold like any other, never a reason
// to give the file up.
TEST_F(Sharing, AMappedFileIsHeldUntilItsViewIsGone) {
    HANDLE reader = ::CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE mapping = ::CreateFileMappingW(reader, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ::CloseHandle(reader);
    ASSERT_NE(mapping, nullptr);
    const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ::CloseHandle(mapping);
    ASSERT_NE(view, nullptr);

    const os::File refused = os::File::CreateWrite(file_);
    EXPECT_FALSE(refused.IsOpen());
    EXPECT_TRUE(refused.InUse());
    EXPECT_EQ(ReadBytes(file_), "held content\r\n");

    ::UnmapViewOfFile(view);
    os::File f = os::File::CreateWrite(file_);
    ASSERT_TRUE(f.IsOpen()) << "writable again once the view is gone";
    EXPECT_TRUE(f.Write("new"));
}
#endif

}  // namespace
