// Working copies kept in memory: the same bytes a file copy holds, nothing on disk, and a
// document that opens, refuses and saves locations through them as it does through files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "document/CQ7310Doc.h"
#include "document/LocationFileTestDir.h"
#include "document/WorkingCopy.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"

namespace arvestra {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::TmpdirOverride;

std::vector<uint8_t> Pattern(std::size_t length) {
    std::vector<uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    return bytes;
}

// True when the copy holds the first bytes of `source` and zeros after them, to the full size.
bool HoldsSourceThenZeros(const WorkingCopy& copy, const std::vector<uint8_t>& source) {
    const auto bytes = copy.Bytes();
    const std::size_t kept = std::min(source.size(), kLocationSize);
    return std::equal(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(kept),
                      bytes.begin()) &&
           std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(kept), bytes.end(),
                       [](uint8_t b) { return b == 0; });
}

class InMemoryLength : public ::testing::TestWithParam<std::size_t> {};

// The caller's memory still holds an earlier location's bytes: none of them may show through.
TEST_P(InMemoryLength, HoldsTheSourceThenZerosInTheCallersMemory) {
    const std::vector<uint8_t> source = Pattern(GetParam());
    auto memory = std::make_unique<std::array<uint8_t, kLocationSize>>();
    memory->fill(0xAA);
    auto copy = WorkingCopy::InMemory(source, *memory);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Bytes().data(), memory->data());
    EXPECT_TRUE(HoldsSourceThenZeros(*copy, source));
    EXPECT_EQ(copy->SourceLength(), GetParam()) << "the length before any cut";
    EXPECT_EQ(copy->Path(), "");
}

INSTANTIATE_TEST_SUITE_P(Lengths, InMemoryLength,
                         ::testing::Values(std::size_t{0}, std::size_t{1}, std::size_t{8191},
                                           std::size_t{12290}, kLocationSize - 1, kLocationSize,
                                           kLocationSize + 100));

TEST(WorkingCopyInMemory, OwnMemoryHoldsTheSourceAndNothingGoesToDisk) {
    ScratchDir temp;
    TmpdirOverride tmpdir(temp.Path());
    const std::vector<uint8_t> source = Pattern(12290);
    {
        auto copy = WorkingCopy::InMemory(source);
        EXPECT_TRUE(HoldsSourceThenZeros(*copy, source));
        copy->Bytes()[5] = 42;
        EXPECT_EQ(copy->Flush(), 0);
        EXPECT_TRUE(temp.Entries().empty());
    }
    EXPECT_TRUE(temp.Entries().empty());
}

// A location built byte by byte: devices at the given addresses, named after them.
std::vector<uint8_t> LocationWith(std::initializer_list<std::pair<int, std::string>> devices,
                                  std::size_t length) {
    std::vector<uint8_t> bytes(kLocationSize);
    CLocationImage location(CLocationImage::Bytes(bytes.data(), kLocationSize));
    location.FormatNew();
    int slot = 0;
    for (const auto& [address, name] : devices) {
        location.SetSlotOf(address, slot);
        location.SetDeviceName(slot, name);
        location.SetRecordInt(slot, kRecCurrentPreset, 1);
        ++slot;
    }
    bytes.resize(length);
    return bytes;
}

// A document whose working copies are made in memory from the files this test holds.
class DocInMemoryTest : public ::testing::Test {
  protected:
    DocInMemoryTest() : tmpdir_(temp_.Path()), reporter_(app_, ui_), doc_(reporter_, clock_) {
        app_.SetActiveDocument(&doc_.Bus());
        doc_.Session().SetWorkingCopyMaker([this](const std::string& path, FileFault&) {
            asked_.push_back(path);
            return WorkingCopy::InMemory(files_.at(path));
        });
    }
    ~DocInMemoryTest() override { app_.SetActiveDocument(nullptr); }

    std::string LastQuestionText() {
        auto questions = ui_.Questions();
        return questions.empty() ? std::string() : questions.back().text;
    }

    ScratchDir temp_;
    TmpdirOverride tmpdir_;
    std::map<std::string, std::vector<uint8_t>> files_;
    std::vector<std::string> asked_;
    AppState app_;
    arvestra::testing::ScriptedUi ui_;
    arvestra::testing::FakeClock clock_;
    ErrorReporter reporter_;
    CQ7310Doc doc_;
};

TEST_F(DocInMemoryTest, OpensTheDevicesWithoutATemporaryFile) {
    files_["hall.kvx"] = LocationWith({{3, "Hall"}, {9, "Foyer"}}, 8192 + 2 * 4098);
    ASSERT_EQ(doc_.OpenLocation("hall.kvx"), 1);
    EXPECT_EQ(asked_, std::vector<std::string>{"hall.kvx"});
    EXPECT_EQ(doc_.Devices().GetDeviceName(3), "Hall");
    EXPECT_EQ(doc_.Devices().GetDeviceName(9), "Foyer");
    EXPECT_EQ(doc_.Devices().CurrentAddress(), 3);
    EXPECT_EQ(doc_.Session().Path(), "hall.kvx");
    EXPECT_EQ(doc_.Session().TempPath(), "");
    EXPECT_FALSE(doc_.IsModified());
    EXPECT_TRUE(temp_.Entries().empty());
}

TEST_F(DocInMemoryTest, RefusedBytesAreReportedAsACorruptFileAndTheDocumentIsKept) {
    files_["hall.kvx"] = LocationWith({{3, "Hall"}}, 8192 + 4098);
    files_["cut.kvx"] = LocationWith({{5, "Cut"}}, 4200);  // ends inside the address table
    ASSERT_EQ(doc_.OpenLocation("hall.kvx"), 1);
    EXPECT_EQ(doc_.OpenLocation("cut.kvx"), 0);
    EXPECT_NE(LastQuestionText().find("has been corrupted"), std::string::npos);
    EXPECT_NE(LastQuestionText().find("12a - 1068 - 2000 - 0"), std::string::npos);
    EXPECT_EQ(doc_.Session().Path(), "hall.kvx");
    EXPECT_EQ(doc_.Devices().GetDeviceName(3), "Hall");
}

// A copy in memory has no file to recover, so no note is kept for it, wherever notes go.
TEST_F(DocInMemoryTest, KeepsNoRecoveryNote) {
    ScratchDir recovery;
    doc_.Session().SetRecoveryDirectory(recovery.Path());
    files_["hall.kvx"] = LocationWith({{3, "Hall"}}, 8192 + 4098);
    ASSERT_EQ(doc_.OpenLocation("hall.kvx"), 1);
    ASSERT_EQ(doc_.SetDeviceName("Hall renamed", 3), 1);  // a modified document rewrites its note
    const bool strayNote = std::filesystem::exists(".note");  // the note of a copy without a path
    std::filesystem::remove(".note");
    EXPECT_FALSE(strayNote);
    EXPECT_TRUE(recovery.Entries().empty());
}

TEST_F(DocInMemoryTest, SavesTheUsedLengthToTheFileAndOpensItAgainFromDisk) {
    ScratchDir saved;
    files_["hall.kvx"] = LocationWith({{3, "Hall"}}, 8192 + 4098);
    ASSERT_EQ(doc_.OpenLocation("hall.kvx"), 1);
    ASSERT_EQ(doc_.SetDeviceName("Hall renamed", 3), 1);
    ASSERT_EQ(doc_.SaveLocation(saved.File("hall.kvx")), 1);
    EXPECT_EQ(ReadFileBytes(saved.File("hall.kvx")).size(), 8192u + 4098u);

    doc_.Session().SetWorkingCopyMaker({});  // back to copies on disk
    ASSERT_EQ(doc_.OpenLocation(saved.File("hall.kvx")), 1);
    EXPECT_EQ(doc_.Devices().GetDeviceName(3), "Hall renamed");
    EXPECT_EQ(asked_.size(), 1u);
    EXPECT_EQ(doc_.Session().TempPath().rfind(temp_.Path() + "/kvx", 0), 0u)
        << "the working copy is a file again: " << doc_.Session().TempPath();
}

}  // namespace
}  // namespace arvestra
