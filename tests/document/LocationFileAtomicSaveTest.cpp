// Replacing a Location File: the old file stays whole whatever fails, permissions and
// symbolic links survive, and nothing is left behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>

#include "document/AtomicFileWriter.h"
#include "document/FileStepFaults.h"
#include "document/LocationFileTestDir.h"

namespace arvestra {
namespace {

using testing::ModeOf;
using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::WriteFileBytes;

class AtomicSaveTest : public ::testing::Test {
  protected:
    ~AtomicSaveTest() override { FileStepFaults::Clear(); }

    int Save(const std::string& destination, const std::vector<uint8_t>& bytes) {
        AtomicFileWriter writer;
        if (int error = writer.Begin(destination)) return error;
        return writer.Commit(bytes);
    }

    ScratchDir dir_;
    const std::vector<uint8_t> oldBytes_ = std::vector<uint8_t>(5000, 0x0A);
    const std::vector<uint8_t> newBytes_ = std::vector<uint8_t>(12290, 0x0B);
};

TEST_F(AtomicSaveTest, CreatesANewFileWithTheUmasksPermissions) {
    mode_t mask = ::umask(022);
    EXPECT_EQ(Save(dir_.File("new.kvx"), newBytes_), 0);
    ::umask(mask);
    EXPECT_EQ(ReadFileBytes(dir_.File("new.kvx")), newBytes_);
    EXPECT_EQ(ModeOf(dir_.File("new.kvx")), 0644u);
    EXPECT_EQ(dir_.Entries().size(), 1u);
}

TEST_F(AtomicSaveTest, ReplacesAnOlderLongerFileCompletely) {
    WriteFileBytes(dir_.File("a.kvx"), std::vector<uint8_t>(40000, 0x0C));
    EXPECT_EQ(Save(dir_.File("a.kvx"), newBytes_), 0);
    EXPECT_EQ(ReadFileBytes(dir_.File("a.kvx")), newBytes_);
}

class KeepsMode : public AtomicSaveTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(KeepsMode, ReplacedFileKeepsItsPermissions) {
    WriteFileBytes(dir_.File("a.kvx"), oldBytes_);
    ASSERT_EQ(::chmod(dir_.File("a.kvx").c_str(), GetParam()), 0);
    EXPECT_EQ(Save(dir_.File("a.kvx"), newBytes_), 0);
    EXPECT_EQ(ModeOf(dir_.File("a.kvx")), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Modes, KeepsMode, ::testing::Values(0600u, 0640u, 0664u, 0200u, 0755u));

// A file without any write permission was protected by its owner: it is neither replaced nor
// touched, whoever saves (root too), and nothing is left beside it.
class ReadOnly : public AtomicSaveTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(ReadOnly, FileIsRefusedAndLeftAsItWas) {
    WriteFileBytes(dir_.File("a.kvx"), oldBytes_);
    ASSERT_EQ(::chmod(dir_.File("a.kvx").c_str(), GetParam()), 0);
    EXPECT_EQ(Save(dir_.File("a.kvx"), newBytes_), EACCES);
    EXPECT_EQ(ReadFileBytes(dir_.File("a.kvx")), oldBytes_);
    EXPECT_EQ(ModeOf(dir_.File("a.kvx")), GetParam());
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"a.kvx"});
}

INSTANTIATE_TEST_SUITE_P(Modes, ReadOnly, ::testing::Values(0444u, 0400u, 0000u, 0555u));

// The directory takes no new file (planned, since root may always create one): the file is
// written in place, keeps its mode, and ends at the new length.
struct InPlaceCase {
    const char* name;
    std::size_t oldLength;
    unsigned mode;
};

class DirectoryNotWritable : public AtomicSaveTest,
                             public ::testing::WithParamInterface<InPlaceCase> {};

TEST_P(DirectoryNotWritable, WritesTheFileInPlace) {
    WriteFileBytes(dir_.File("a.kvx"), std::vector<uint8_t>(GetParam().oldLength, 0x0C));
    ASSERT_EQ(::chmod(dir_.File("a.kvx").c_str(), GetParam().mode), 0);
    FileStepFaults::FailNext(kStepCreateBeside, EACCES);
    AtomicFileWriter writer;
    ASSERT_EQ(writer.Begin(dir_.File("a.kvx")), 0);
    EXPECT_TRUE(writer.InPlace());
    EXPECT_EQ(writer.Commit(newBytes_), 0);
    EXPECT_EQ(ReadFileBytes(dir_.File("a.kvx")), newBytes_);
    EXPECT_EQ(ModeOf(dir_.File("a.kvx")), GetParam().mode);
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"a.kvx"});
}

INSTANTIATE_TEST_SUITE_P(Files, DirectoryNotWritable,
                         ::testing::Values(InPlaceCase{"Longer", 40000, 0640},
                                           InPlaceCase{"Shorter", 100, 0600},
                                           InPlaceCase{"SameLength", 12290, 0664}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AtomicSaveTest, DirectoryNotWritableAndNoFileYetFails) {
    FileStepFaults::FailNext(kStepCreateBeside, EACCES);
    EXPECT_EQ(Save(dir_.File("new.kvx"), newBytes_), EACCES);
    EXPECT_TRUE(dir_.Entries().empty());
}

TEST_F(AtomicSaveTest, FailedWriteInPlaceIsReported) {
    WriteFileBytes(dir_.File("a.kvx"), oldBytes_);
    FileStepFaults::FailNext(kStepCreateBeside, EROFS);
    AtomicFileWriter writer;
    ASSERT_EQ(writer.Begin(dir_.File("a.kvx")), 0);
    FileStepFaults::FailNext(275, EIO);
    EXPECT_EQ(writer.Commit(newBytes_), EIO);
}

TEST_F(AtomicSaveTest, SavingThroughASymbolicLinkReplacesTheFileItPointsTo) {
    WriteFileBytes(dir_.File("real.kvx"), oldBytes_);
    std::filesystem::create_symlink(dir_.File("real.kvx"), dir_.File("link.kvx"));
    EXPECT_EQ(Save(dir_.File("link.kvx"), newBytes_), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir_.File("link.kvx")));
    EXPECT_EQ(ReadFileBytes(dir_.File("real.kvx")), newBytes_);
}

struct FailureCase {
    const char* name;
    int step;  // where the failure is planned
};

class SaveFailure : public AtomicSaveTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SaveFailure, LeavesTheOldFileWholeAndNothingBehind) {
    WriteFileBytes(dir_.File("a.kvx"), oldBytes_);
    FileStepFaults::FailNext(GetParam().step, ENOSPC);
    EXPECT_EQ(Save(dir_.File("a.kvx"), newBytes_), ENOSPC);
    EXPECT_EQ(ReadFileBytes(dir_.File("a.kvx")), oldBytes_);
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"a.kvx"});
}

INSTANTIATE_TEST_SUITE_P(Steps, SaveFailure,
                         ::testing::Values(FailureCase{"CreatingTheNewFile", 273},
                                           FailureCase{"AfterWritingAndSyncing", 275}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AtomicSaveTest, DirectoryInTheWayFailsAndStaysADirectory) {
    std::filesystem::create_directory(dir_.File("a.kvx"));
    EXPECT_NE(Save(dir_.File("a.kvx"), newBytes_), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir_.File("a.kvx")));
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"a.kvx"});
}

TEST_F(AtomicSaveTest, MissingDirectoryFailsAtBegin) {
    AtomicFileWriter writer;
    EXPECT_EQ(writer.Begin(dir_.File("none/a.kvx")), ENOENT);
    EXPECT_EQ(writer.Commit(newBytes_), EBADF);
}

TEST_F(AtomicSaveTest, AnEmptyPathIsRefused) {
    AtomicFileWriter writer;
    EXPECT_EQ(writer.Begin(""), ENOENT);
}

TEST_F(AtomicSaveTest, AbandonedWriterRemovesItsNewFile) {
    WriteFileBytes(dir_.File("a.kvx"), oldBytes_);
    {
        AtomicFileWriter writer;
        ASSERT_EQ(writer.Begin(dir_.File("a.kvx")), 0);
        EXPECT_EQ(dir_.Entries().size(), 2u);
    }
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"a.kvx"});
    EXPECT_EQ(ReadFileBytes(dir_.File("a.kvx")), oldBytes_);
}

// Files that a killed save may have left beside the destination, and files that only look so.
struct LeftoverCase {
    const char* name;
    int ageSeconds;
    bool symbolicLink;
    bool removed;
};

class Leftovers : public AtomicSaveTest, public ::testing::WithParamInterface<LeftoverCase> {};

TEST_P(Leftovers, OnlyOurOwnOlderThanAMinuteGoAtTheNextSave) {
    const LeftoverCase& c = GetParam();
    const std::string path = dir_.File(c.name);
    if (c.symbolicLink) {
        WriteFileBytes(dir_.File("kept"), oldBytes_);
        ASSERT_EQ(::symlink(dir_.File("kept").c_str(), path.c_str()), 0);
    } else {
        WriteFileBytes(path, oldBytes_);
    }
    const timespec times[2] = {{::time(nullptr) - c.ageSeconds, 0},
                               {::time(nullptr) - c.ageSeconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    EXPECT_EQ(Save(dir_.File("a.kvx"), newBytes_), 0);
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info) != 0, c.removed);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Leftovers,
    ::testing::Values(LeftoverCase{".kvx-a1B2c3", 61, false, true},
                      LeftoverCase{".kvx-a1B2c3", 30, false, false},  // a save under way
                      LeftoverCase{".kvx-a1B2c", 3600, false, false},
                      LeftoverCase{".kvx-a1B2c3d", 3600, false, false},
                      LeftoverCase{".kvx-a1B2_3", 3600, false, false},
                      LeftoverCase{"x.kvx-a1B2c3", 3600, false, false},
                      LeftoverCase{".kvx-a1B2c3", 3600, true, false}),  // not a plain file
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// The new file's name must fit wherever the destination's name fits, the longest one included.
class LongName : public AtomicSaveTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(LongName, IsSavedAndLeavesOnlyTheFile) {
    const std::string name = std::string(GetParam() - 4, 'n') + ".kvx";
    WriteFileBytes(dir_.File(name), oldBytes_);
    EXPECT_EQ(Save(dir_.File(name), newBytes_), 0);
    EXPECT_TRUE(ReadFileBytes(dir_.File(name)) == newBytes_);
    EXPECT_EQ(dir_.Entries().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongName, ::testing::Values(200u, 248u, 249u, 255u));

TEST_F(AtomicSaveTest, RelativePathInTheCurrentDirectory) {
    std::error_code ignored;
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
    int result = Save("rel.kvx", newBytes_);
    std::filesystem::current_path(previous, ignored);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFileBytes(dir_.File("rel.kvx")), newBytes_);
}

}  // namespace
}  // namespace arvestra
