// The temporary working copy: where it lives, its fixed size, what it holds, and every failing
// step with its error number.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <numeric>

#include "document/FileStepFaults.h"
#include "document/LocationFileTestDir.h"
#include "document/WorkingCopy.h"

namespace arvestra {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::TmpdirOverride;
using testing::WriteFileBytes;

class WorkingCopyTest : public ::testing::Test {
  protected:
    WorkingCopyTest() : tmpdir_(temp_.Path()) {}
    ~WorkingCopyTest() override { FileStepFaults::Clear(); }

    static std::vector<uint8_t> Pattern(std::size_t length) {
        std::vector<uint8_t> bytes(length);
        for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
        return bytes;
    }

    ScratchDir temp_;   // the temporary directory the copies go to
    ScratchDir files_;  // the user's files
    TmpdirOverride tmpdir_;
};

TEST_F(WorkingCopyTest, NewCopyIsAZeroFileOfTheFullSizeWithTheKvxPrefix) {
    FileFault fault;
    auto copy = WorkingCopy::Create("", fault);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(fault.number, 0);
    EXPECT_EQ(copy->Path().rfind(temp_.Path() + "/kvx", 0), 0u) << copy->Path();
    EXPECT_EQ(std::filesystem::file_size(copy->Path()), kLocationSize);
    auto bytes = copy->Bytes();
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(copy->SourceLength(), 0u);
}

// The disk space of the whole copy is taken when it is made: a full disk is then the reported
// error 293, never a SIGBUS at the first write into a page of the mapping.
TEST_F(WorkingCopyTest, DiskSpaceIsReservedWhenTheCopyIsMade) {
    FileFault fault;
    auto copy = WorkingCopy::Create("", fault);
    ASSERT_NE(copy, nullptr);
    struct stat info {};
    ASSERT_EQ(::stat(copy->Path().c_str(), &info), 0);
    EXPECT_GE(static_cast<std::uint64_t>(info.st_blocks) * 512u, kLocationSize);
}

// Exit codes of the full-disk child.
constexpr int kChildReported293 = 0;
constexpr int kChildOtherResult = 1;
constexpr int kChildCannotMount = 77;

// A temporary directory too small for a working copy, made real: the child process gets its own
// mount namespace with a 64 KiB tmpfs over `directory`, makes a copy there and writes every
// byte of it. Needs the right to mount (root in a container or on a CI runner).
int MakeCopyOnAFullDisk(const std::string& directory) {
    const pid_t child = ::fork();
    if (child != 0) {
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
        return status;
    }
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", directory.c_str(), "tmpfs", 0, "size=64k") != 0) {
        ::_exit(kChildCannotMount);
    }
    FileFault fault;
    auto copy = WorkingCopy::Create("", fault);
    if (copy) {
        for (uint8_t& b : copy->Bytes()) b = 1;  // a page without disk behind it: SIGBUS
    }
    ::_exit(fault.number == 293 && fault.systemError == ENOSPC ? kChildReported293
                                                               : kChildOtherResult);
}

TEST_F(WorkingCopyTest, FullTemporaryDiskIsReportedAs293InsteadOfCrashing) {
    const int status = MakeCopyOnAFullDisk(temp_.Path());
    ASSERT_NE(status, -1);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kChildCannotMount) {
        GTEST_SKIP() << "no right to mount a small tmpfs here";
    }
    ASSERT_FALSE(WIFSIGNALED(status)) << "killed by signal " << WTERMSIG(status);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kChildReported293);
}

TEST_F(WorkingCopyTest, DestroyingTheCopyDeletesItsFile) {
    FileFault fault;
    std::string path;
    {
        auto copy = WorkingCopy::Create("", fault);
        ASSERT_NE(copy, nullptr);
        path = copy->Path();
        EXPECT_TRUE(std::filesystem::exists(path));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(temp_.Entries().empty());
}

class WorkingCopySource : public WorkingCopyTest,
                          public ::testing::WithParamInterface<std::size_t> {};

TEST_P(WorkingCopySource, HoldsTheFileThenZerosAtExactlyTheWorkingSize) {
    const std::size_t length = GetParam();
    std::vector<uint8_t> source = Pattern(length);
    WriteFileBytes(files_.File("a.kvx"), source);
    FileFault fault;
    auto copy = WorkingCopy::Create(files_.File("a.kvx"), fault);
    ASSERT_NE(copy, nullptr) << fault.number << " " << fault.systemError;
    EXPECT_EQ(copy->SourceLength(), length);
    EXPECT_EQ(std::filesystem::file_size(copy->Path()), kLocationSize);
    auto bytes = copy->Bytes();
    const std::size_t kept = std::min(length, kLocationSize);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + kept, source.begin()));
    EXPECT_TRUE(std::all_of(bytes.begin() + kept, bytes.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(ReadFileBytes(files_.File("a.kvx")), source) << "the user's file is only read";
}

INSTANTIATE_TEST_SUITE_P(Lengths, WorkingCopySource,
                         ::testing::Values(0u, 1u, 8191u, 12290u, 65537u, kLocationSize - 1,
                                           kLocationSize, kLocationSize + 4098));

TEST_F(WorkingCopyTest, MappingIsSharedWithTheFile) {
    FileFault fault;
    auto copy = WorkingCopy::Create("", fault);
    ASSERT_NE(copy, nullptr);
    copy->Bytes()[0] = 'k';
    copy->Bytes()[kLocationSize - 1] = 0xEE;
    EXPECT_EQ(copy->Flush(), 0);
    std::vector<uint8_t> onDisk = ReadFileBytes(copy->Path());
    ASSERT_EQ(onDisk.size(), kLocationSize);
    EXPECT_EQ(onDisk[0], 'k');
    EXPECT_EQ(onDisk[kLocationSize - 1], 0xEE);
}

TEST_F(WorkingCopyTest, TwoCopiesNeverShareAFile) {
    FileFault fault;
    auto first = WorkingCopy::Create("", fault);
    auto second = WorkingCopy::Create("", fault);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first->Path(), second->Path());
    first->Bytes()[100] = 1;
    EXPECT_EQ(second->Bytes()[100], 0);
}

TEST_F(WorkingCopyTest, MissingTemporaryDirectoryIs289) {
    TmpdirOverride missing(temp_.File("not-there"));
    FileFault fault;
    EXPECT_EQ(WorkingCopy::Create("", fault), nullptr);
    EXPECT_EQ(fault.number, 289);
    EXPECT_EQ(fault.systemError, ENOENT);
}

TEST_F(WorkingCopyTest, TemporaryDirectoryThatIsAFileIs289) {
    WriteFileBytes(files_.File("plain"), {1});
    TmpdirOverride plain(files_.File("plain"));
    FileFault fault;
    EXPECT_EQ(WorkingCopy::Create("", fault), nullptr);
    EXPECT_EQ(fault.number, 289);
    EXPECT_EQ(fault.systemError, ENOTDIR);
}

TEST_F(WorkingCopyTest, EmptyTmpdirFallsBackToTmp) {
    TmpdirOverride empty("");
    EXPECT_EQ(WorkingCopy::TemporaryDirectory(), "/tmp");
}

TEST_F(WorkingCopyTest, MissingSourceIs291AndLeavesNoTemporaryFile) {
    FileFault fault;
    EXPECT_EQ(WorkingCopy::Create(files_.File("gone.kvx"), fault), nullptr);
    EXPECT_EQ(fault.number, 291);
    EXPECT_EQ(fault.systemError, ENOENT);
    EXPECT_TRUE(temp_.Entries().empty());
}

TEST_F(WorkingCopyTest, DirectoryAsSourceIs291) {
    FileFault fault;
    EXPECT_EQ(WorkingCopy::Create(files_.Path(), fault), nullptr);
    EXPECT_EQ(fault.number, 291);
    EXPECT_EQ(fault.systemError, EISDIR);
}

TEST_F(WorkingCopyTest, FifoAsSourceIs291WithoutWaitingForAWriter) {
    ASSERT_EQ(::mkfifo(files_.File("pipe").c_str(), 0600), 0);
    FileFault fault;
    EXPECT_EQ(WorkingCopy::Create(files_.File("pipe"), fault), nullptr);
    EXPECT_EQ(fault.number, 291);
    EXPECT_EQ(fault.systemError, EINVAL);
}

class WorkingCopyStepFailure : public WorkingCopyTest, public ::testing::WithParamInterface<int> {};

TEST_P(WorkingCopyStepFailure, ReportsTheStepAndErrnoAndCleansUp) {
    const int step = GetParam();
    WriteFileBytes(files_.File("a.kvx"), Pattern(20000));
    FileStepFaults::FailNext(step, ENOSPC);
    FileFault fault;
    EXPECT_EQ(WorkingCopy::Create(files_.File("a.kvx"), fault), nullptr);
    EXPECT_EQ(fault.number, step);
    EXPECT_EQ(fault.systemError, ENOSPC);
    EXPECT_TRUE(temp_.Entries().empty()) << "a failed copy leaves no temporary file";
    // The plan is used up: the next copy succeeds.
    EXPECT_NE(WorkingCopy::Create(files_.File("a.kvx"), fault), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Steps, WorkingCopyStepFailure,
                         ::testing::Values(289, 290, 291, 292, 293, 294));

TEST_F(WorkingCopyTest, FlushFailureGivesItsErrno) {
    FileFault fault;
    auto copy = WorkingCopy::Create("", fault);
    ASSERT_NE(copy, nullptr);
    FileStepFaults::FailNext(274, EIO);
    EXPECT_EQ(copy->Flush(), EIO);
    EXPECT_EQ(copy->Flush(), 0);
}

}  // namespace
}  // namespace arvestra
