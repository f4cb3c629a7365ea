// The editing lock on a Location File: a second holder is refused and told who holds it, and
// the lock follows the file through its holder's own saves.
#include "document/LocationFileLock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>

#include "document/AtomicFileWriter.h"
#include "document/LocationFileTestDir.h"

namespace arvestra {
namespace {

using testing::ScratchDir;
using testing::WriteFileBytes;

std::string OwnProgramName() {
    std::ifstream in("/proc/self/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// Replaces the file as every save does: a new file renamed over it.
void SaveOver(const std::string& path) {
    AtomicFileWriter writer;
    ASSERT_EQ(writer.Begin(path), 0);
    const std::vector<uint8_t> bytes(100, 0x0D);
    ASSERT_EQ(writer.Commit(bytes), 0);
}

TEST(LocationFileLock, ASecondHolderIsRefusedAndToldWhoHoldsIt) {
    ScratchDir dir;
    const std::string path = dir.File("hall.kvx");
    WriteFileBytes(path, std::vector<uint8_t>(100, 0x0A));
    LocationFileLock first;
    ASSERT_EQ(first.Acquire(path), 0);
    LocationFileLock second;
    LockHolder holder;
    EXPECT_EQ(second.Acquire(path, &holder), EWOULDBLOCK);
    EXPECT_EQ(holder.pid, ::getpid());
    EXPECT_EQ(holder.program, OwnProgramName());
    EXPECT_TRUE(second.Path().empty());
    EXPECT_EQ(LockedFileMessage(path, holder),
              path + " is open for editing in " + OwnProgramName() + " (process " +
                  std::to_string(::getpid()) + "); close it there first.");
    first.Release();
    EXPECT_EQ(second.Acquire(path), 0);
}

TEST(LocationFileLock, ReadingIsNotKeptOut) {
    ScratchDir dir;
    const std::string path = dir.File("hall.kvx");
    WriteFileBytes(path, std::vector<uint8_t>(100, 0x0A));
    LocationFileLock lock;
    ASSERT_EQ(lock.Acquire(path), 0);
    EXPECT_EQ(testing::ReadFileBytes(path), std::vector<uint8_t>(100, 0x0A));
}

TEST(LocationFileLock, FollowsTheFileThroughItsHoldersSaves) {
    ScratchDir dir;
    const std::string path = dir.File("hall.kvx");
    LocationFileLock lock;
    ASSERT_EQ(lock.Acquire(path), 0);  // no file yet: locked once the first save made it
    for (int save = 0; save < 2; ++save) {
        SaveOver(path);
        LocationFileLock other;
        EXPECT_EQ(other.Acquire(path), 0) << "a replaced file is not locked until renewed";
        other.Release();
        ASSERT_EQ(lock.Renew(), 0);
        EXPECT_EQ(other.Acquire(path), EWOULDBLOCK) << "save " << save;
    }
}

TEST(LocationFileLock, AHolderTheSystemDoesNotNameIsStillReported) {
    EXPECT_EQ(LockedFileMessage("/a/hall.kvx", LockHolder{}),
              "/a/hall.kvx is open for editing in another program; close it there first.");
}

}  // namespace
}  // namespace arvestra
