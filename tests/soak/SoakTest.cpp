// The document online against arvestra-devsim for a while, under load and under faults: random
// edits through the block operations, Master links, recalls, stores, renames and device switches
// while the worker flushes and polls; then every image of every device is read back and must
// equal the file's, byte for byte. ARVESTRA_SOAK_SECONDS sets how long the edits run.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "document/CQ7310Doc.h"
#include "document/GoOnline.h"
#include "integration/DevsimChild.h"
#include "link/DeviceCommandsLink.h"

namespace arvestra {
namespace {

using devsim_it::DevsimChild;
using SteadyClock = std::chrono::steady_clock;
using Image = std::array<std::uint8_t, kPresetImageSize>;

// How long the edits of one soak run: ARVESTRA_SOAK_SECONDS, else `fallback`.
std::chrono::seconds SoakSeconds(int fallback) {
    const char* text = std::getenv("ARVESTRA_SOAK_SECONDS");
    const int seconds = text != nullptr ? std::atoi(text) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : fallback);
}

// The user of a soak: communication errors are answered from a queue (Abort when it runs dry),
// other errors with Yes (offline), other questions (store the modified preset before a recall?)
// at random. Every question is kept. Thread-safe: the worker asks too.
class SoakUi final : public UiPort {
  public:
    void PushLinkAnswer(UiAnswer answer) {
        std::lock_guard lock(mutex_);
        linkAnswers_.push_back(answer);
    }
    UiAnswer Ask(const UiQuestion& question) override {
        std::lock_guard lock(mutex_);
        questions_.push_back(question);
        switch (question.buttons) {
            case ButtonSet::AbortRetryIgnore: {
                if (linkAnswers_.empty()) return UiAnswer::Abort;
                const UiAnswer answer = linkAnswers_.front();
                linkAnswers_.pop_front();
                return answer;
            }
            case ButtonSet::YesNo:
            case ButtonSet::YesNoCancel:
                // An error asked this way: Yes carries on offline.
                if (question.text.find("error number") != std::string::npos) return UiAnswer::Yes;
                return coin_() % 2 != 0 ? UiAnswer::Yes : UiAnswer::No;
            case ButtonSet::OkCancel:
            case ButtonSet::Ok:
                break;
        }
        return UiAnswer::Ok;
    }
    void ShowInformation(const std::string&) override {}
    void PostViewCommand(CommandId) override {}
    void UpdateAllViews(ViewHint) override {}
    void PostCloseMainWindow() override {}
    void SetWaitCursor(bool) override {}
    void KeepResponsive() override {}

    std::vector<UiQuestion> Questions() const {
        std::lock_guard lock(mutex_);
        return questions_;
    }

  private:
    mutable std::mutex mutex_;
    std::deque<UiAnswer> linkAnswers_;
    std::vector<UiQuestion> questions_;
    std::mt19937 coin_{1208u};
};

// What a soak did, for the log of the run.
struct SoakCounts {
    long edits = 0;
    long recalls = 0;
    long stores = 0;
    long renames = 0;
    long switches = 0;
    long masterLinks = 0;
    long bytesCompared = 0;
};

class Soak : public ::testing::Test {
  protected:
    // A location with devices at `addresses` downloaded to a simulated bus answering at them.
    void GoOnlineWithDownload(const std::vector<int>& addresses,
                              const std::vector<std::string>& faults = {}) {
        addresses_ = addresses;
        std::string list;
        for (int a : addresses) list += (list.empty() ? "" : ",") + std::to_string(a);
        std::vector<std::string> options{"--devices", list};
        for (const std::string& fault : faults) options.insert(options.end(), {"--fault", fault});
        sim_ = std::make_unique<DevsimChild>(options);
        ASSERT_FALSE(sim_->FirstLine().empty()) << "the simulator did not start";
        doc_.Bus().Link().Ports().SetPath(2, sim_->FirstLine());
        doc_.Bus().Link().SetPortNumber(2);
        doc_.Bus().Link().SetBaudRate(38400);
        for (int a : addresses) ASSERT_EQ(doc_.AddDevice(a), a);
        doc_.SetEditingStarted(true);
        doc_.SelectDevice(addresses.front());
        app_.SetActiveDocument(&doc_.Bus());
        ASSERT_EQ(Download(), 1);
    }
    void TearDown() override { app_.SetActiveDocument(nullptr); }

    int Download() {
        GoOnline online(app_, doc_);
        return online.Run(GoOnlineChoice::kDownloadToDevices);
    }

    // One random operation of the kind a user makes on the pages and in the menus.
    void RandomOperation(std::mt19937& rng, SoakCounts& counts) {
        const int pick = static_cast<int>(rng() % 100);
        if (pick < 80) {
            RandomFieldEdit(rng);
            ++counts.edits;
        } else if (pick < 84) {
            static constexpr std::array kBlocks{FieldBlock::Equaliser, FieldBlock::LowPass,
                                                FieldBlock::HighPass, FieldBlock::Delay,
                                                FieldBlock::CompLimiter};
            doc_.Edits().SetMasterWithCopy(kBlocks[rng() % kBlocks.size()],
                                           static_cast<int>(rng() % 2),
                                           static_cast<int>(rng() % 2));
            ++counts.masterLinks;
        } else if (pick < 88) {
            doc_.Edits().SetDelaySamples(static_cast<int>(rng() % 2),
                                         static_cast<long long>(rng() % 70000));
            ++counts.edits;
        } else if (pick < 91) {
            Succeeded(doc_.RecallPreset(1 + static_cast<int>(rng() % 8), true));
            ++counts.recalls;
        } else if (pick < 94) {
            Succeeded(doc_.StorePreset());
            ++counts.stores;
        } else if (pick < 96) {
            Succeeded(doc_.SetPresetName("Soak " + std::to_string(rng() % 100000)));
            ++counts.renames;
        } else if (pick < 97) {
            Succeeded(doc_.SetDeviceName("Rack " + std::to_string(rng() % 1000)));
            ++counts.renames;
        } else {
            doc_.SelectDevice(addresses_[rng() % addresses_.size()]);
            ++counts.switches;
        }
    }

    // An operation fails only when a fault was answered with Ignore (the application is then
    // offline).
    void Succeeded(int result) {
        if (app_.IsOnline() != 0) {
            EXPECT_EQ(result, 1);
        }
    }

    void RandomFieldEdit(std::mt19937& rng) {
        const auto fields = AllFields();
        while (true) {
            const std::size_t i = rng() % fields.size();
            const FieldDescriptor& field = fields[i];
            if (field.block == FieldBlock::Name) continue;
            const int index = static_cast<int>(rng() % static_cast<unsigned>(field.indexCount));
            // Values a little beyond the range too: they are clamped, never rejected.
            const long long value = static_cast<long long>(rng() % 300) - 20;
            doc_.Edits().Set(static_cast<ParamField>(i), static_cast<int>(rng() % 2), index, value);
            return;
        }
    }

    // Edits until `limit` has passed (and at least until `until` holds, at most 3 x limit).
    SoakCounts RunEdits(std::chrono::seconds limit, unsigned seed,
                        const std::function<bool()>& until = nullptr) {
        std::mt19937 rng(seed);
        SoakCounts counts;
        const auto start = SteadyClock::now();
        while (app_.IsOnline() != 0) {
            const auto spent = SteadyClock::now() - start;
            if (spent > 3 * limit) break;
            if (spent > limit && (!until || until())) break;
            RandomOperation(rng, counts);
            // Now and then let the worker catch up, as a user's pace would.
            if (rng() % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return counts;
    }

    // Reads every image of every device back and compares it with the file; the number of
    // bytes compared.
    long CompareEveryDeviceWithTheFile() {
        EXPECT_EQ(doc_.Bus().WaitDirtyFlushed(), 1);
        const PauseResult pause = doc_.Bus().PauseWorker(true);
        EXPECT_EQ(pause.ok, 1);
        const int selected = doc_.Bus().Link().Address();
        long compared = 0;
        for (const int address : addresses_) {
            doc_.Bus().Link().SetAddress(address);
            const int slot = doc_.Devices().Location().SlotOf(address);
            for (int image = 0; image < kImageCount; ++image) {
                Image device{};
                EXPECT_EQ(RequestImageBytes(doc_.Bus().Link(), image, 0, device), 1);
                const std::uint8_t* file = doc_.Devices().Location().Image(slot, image);
                std::vector<int> differences;
                for (std::size_t b = 0; b < kPresetImageSize; ++b) {
                    if (device[b] != file[b]) differences.push_back(static_cast<int>(b));
                }
                compared += static_cast<long>(kPresetImageSize);
                EXPECT_TRUE(differences.empty())
                    << "address " << address << " image " << image << ": " << differences.size()
                    << " bytes differ, the first at offset " << differences.front() << " (device "
                    << int{device[static_cast<std::size_t>(differences.front())]} << ", file "
                    << int{file[differences.front()]} << ")";
            }
            DeviceInfo info;
            EXPECT_EQ(RequestDeviceInfo(doc_.Bus().Link(), info), 1);
            EXPECT_EQ(info.name, doc_.Devices().GetDeviceName(address)) << "address " << address;
        }
        doc_.Bus().Link().SetAddress(selected);
        doc_.Bus().ResumeWorker(pause.saved);
        return compared;
    }

    // The error numbers ("41 - a0 - 0 - 0") of every error reported, in order.
    std::vector<std::string> ErrorNumbersAsked() const {
        std::vector<std::string> numbers;
        for (const UiQuestion& q : ui_.Questions()) {
            const std::size_t at = q.text.rfind("error number: ");
            if (at != std::string::npos) numbers.push_back(q.text.substr(at + 14));
        }
        return numbers;
    }

    void Print(const char* what, const SoakCounts& c) const {
        std::printf(
            "[ soak     ] %s: %ld edits, %ld Master links, %ld recalls, %ld stores, %ld renames, "
            "%ld device switches; %ld bytes compared\n",
            what, c.edits, c.masterLinks, c.recalls, c.stores, c.renames, c.switches,
            c.bytesCompared);
    }

    AppState app_;
    SoakUi ui_;
    SystemClock clock_;
    ErrorReporter reporter_{app_, ui_};
    std::unique_ptr<DevsimChild> sim_;
    CQ7310Doc doc_{reporter_, clock_};
    std::vector<int> addresses_;
};

TEST_F(Soak, RandomEditsOnThreeDevicesEndWithEveryImageEqualOnBothSides) {
    GoOnlineWithDownload({1, 17, 126});
    SoakCounts counts = RunEdits(SoakSeconds(12), 20261208u);
    ASSERT_EQ(app_.IsOnline(), 1);
    counts.bytesCompared = CompareEveryDeviceWithTheFile();
    Print("three devices", counts);
    EXPECT_GT(counts.edits, 1000);
    EXPECT_GT(counts.switches, 10);
    EXPECT_EQ(ErrorNumbersAsked(), std::vector<std::string>{});
}

// Three bad checksums in a row, one reply dropped and one bad status, each while the worker is
// sending or polling: every one is reported with its number, Retry repeats the exchange, and
// nothing is lost.
TEST_F(Soak, RetryRecoversFromDroppedAndDamagedRepliesWithoutLoss) {
    GoOnlineWithDownload({7},
                         {"7:bad-checksum@300-303", "7:no-reply@600-601", "7:bad-status@900-901"});
    for (int i = 0; i < 10; ++i) ui_.PushLinkAnswer(UiAnswer::Retry);
    SoakCounts counts =
        RunEdits(SoakSeconds(6), 7u, [&] { return ErrorNumbersAsked().size() >= 5; });
    ASSERT_EQ(app_.IsOnline(), 1);
    const std::vector<std::string> numbers = ErrorNumbersAsked();
    ASSERT_EQ(numbers.size(), 5u) << "faults not reached: raise ARVESTRA_SOAK_SECONDS";
    std::set<std::string> firstFields;
    for (const std::string& n : numbers) {
        firstFields.insert(n.substr(0, n.find(' ')));
        std::printf("[ soak     ] fault reported, error number %s, answered Retry\n", n.c_str());
    }
    // A bad checksum (67), a reply that never came, so the read ended short (51), and a bad
    // status (66).
    EXPECT_EQ(firstFields, (std::set<std::string>{"43", "33", "42"}));
    counts.bytesCompared = CompareEveryDeviceWithTheFile();
    Print("faults answered with Retry", counts);
}

// A damaged reply answered with Ignore: the application goes offline, the edits made before and
// after stay in the file, and going online with Download brings the device back to the file.
TEST_F(Soak, IgnoreGoesOfflineKeepsEveryEditAndDownloadRestoresTheDevice) {
    GoOnlineWithDownload({9}, {"9:bad-checksum@400-401"});
    ui_.PushLinkAnswer(UiAnswer::Ignore);
    SoakCounts counts = RunEdits(SoakSeconds(30), 9u);
    ASSERT_EQ(app_.IsOnline(), 0) << "the fault was not reached";
    ASSERT_EQ(ErrorNumbersAsked().size(), 1u);
    // The main view's refresh then takes the application offline formally.
    app_.SetOnline(0);
    EXPECT_FALSE(doc_.Bus().Link().IsOpen());

    // Offline edits: every graphic band of channel A once, with a value of its own.
    doc_.Edits().SetMasterWithCopy(FieldBlock::Equaliser, kChannelA, 0);
    for (int band = 0; band < 31; ++band)
        doc_.Edits().Set(ParamField::EqGraphicGain, kChannelA, band, band * 2);
    for (int band = 0; band < 31; ++band) {
        EXPECT_EQ(doc_.Edits().Get(ParamField::EqGraphicGain, kChannelA, band), band * 2) << band;
    }
    const Image edited = [&] {
        Image bytes{};
        const std::uint8_t* p =
            doc_.Devices().Location().Image(doc_.Devices().Location().SlotOf(9), 0);
        std::copy(p, p + kPresetImageSize, bytes.begin());
        return bytes;
    }();

    ASSERT_EQ(Download(), 1);
    EXPECT_EQ(ErrorNumbersAsked().size(), 1u);
    const std::uint8_t* file =
        doc_.Devices().Location().Image(doc_.Devices().Location().SlotOf(9), 0);
    EXPECT_TRUE(std::equal(edited.begin(), edited.end(), file)) << "the download changed the file";
    counts.bytesCompared = CompareEveryDeviceWithTheFile();
    Print("fault answered with Ignore, then Download", counts);
}

}  // namespace
}  // namespace arvestra
