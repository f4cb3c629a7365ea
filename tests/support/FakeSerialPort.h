#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/SerialPort.h"
#include "link/SerialPortFactory.h"

namespace arvestra::testing {

// What a fake port does and what it saw. Shared by the factory and every port it makes, so a
// test keeps one script across reopenings. Thread-safe.
struct FakePortScript {
    using Bytes = std::vector<std::uint8_t>;

    // Errors (errno) the next calls of each step give; 0 = succeed.
    int openError = 0;
    int getLineError = 0;
    int setLineError = 0;
    int getTimeoutsError = 0;
    int setTimeoutsError = 0;
    // The factory makes no port object at all.
    bool createFails = false;

    // Replies queued per request: each Write moves the next one into the input.
    std::deque<Bytes> replies;
    // Bytes waiting to be read.
    Bytes input;
    // Computes the reply to a written frame instead of the queue (empty result: silence).
    std::function<Bytes(const Bytes& written)> responder;
    // Forced results of the next writes and reads (consumed one per call).
    std::deque<IoResult> writeResults;
    std::deque<IoResult> readResults;

    // What happened.
    std::vector<Bytes> writes;
    std::vector<std::string> openedPaths;
    std::vector<int> readCounts;
    std::vector<int> readWaits;
    std::vector<int> writeWaits;
    LineSettings lineSettings{9600, 7, true, true};  // a driver's defaults before the link's
    PortTimeouts timeouts{};
    int opens = 0;
    int closes = 0;
    int purges = 0;
    int inputDiscards = 0;
    // Replies get the request's address and command as their second and third byte, as a
    // device echoes them (the checksum is kept right, or kept wrong by the same amount).
    bool echoRequest = true;
    int clears = 0;

    std::mutex mutex;

    // Queues the reply to the next request.
    void QueueReply(Bytes reply) {
        std::lock_guard<std::mutex> lock(mutex);
        replies.push_back(std::move(reply));
    }
    // Forces the outcome of the next read.
    void ForceRead(IoResult result) {
        std::lock_guard<std::mutex> lock(mutex);
        readResults.push_back(result);
    }
    // Forces the outcome of the next write.
    void ForceWrite(IoResult result) {
        std::lock_guard<std::mutex> lock(mutex);
        writeResults.push_back(result);
    }
    // Every written byte, all writes joined.
    Bytes AllWritten() {
        std::lock_guard<std::mutex> lock(mutex);
        Bytes all;
        for (const Bytes& w : writes) all.insert(all.end(), w.begin(), w.end());
        return all;
    }
};

// An in-memory port driven by a FakePortScript.
class FakeSerialPort final : public arvestra::SerialPort {
  public:
    explicit FakeSerialPort(std::shared_ptr<FakePortScript> script) : script_(std::move(script)) {}

    int Open(const std::string& path) override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        script_->openedPaths.push_back(path);
        if (script_->openError != 0) return script_->openError;
        ++script_->opens;
        open_ = true;
        return 0;
    }
    void Close() override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        if (open_) ++script_->closes;
        open_ = false;
    }
    bool IsOpen() const override { return open_; }
    int GetLineSettings(arvestra::LineSettings& settings) override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        settings = script_->lineSettings;
        return script_->getLineError;
    }
    int SetLineSettings(const arvestra::LineSettings& settings) override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        if (script_->setLineError != 0) return script_->setLineError;
        script_->lineSettings = settings;
        return 0;
    }
    int GetTimeouts(arvestra::PortTimeouts& timeouts) override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        timeouts = script_->timeouts;
        return script_->getTimeoutsError;
    }
    int SetTimeouts(const arvestra::PortTimeouts& timeouts) override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        if (script_->setTimeoutsError != 0) return script_->setTimeoutsError;
        script_->timeouts = timeouts;
        return 0;
    }
    arvestra::IoResult Write(const std::uint8_t* bytes, int count, int waitMs) override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        script_->writeWaits.push_back(waitMs);
        if (!script_->writeResults.empty()) {
            arvestra::IoResult forced = script_->writeResults.front();
            script_->writeResults.pop_front();
            return forced;
        }
        FakePortScript::Bytes written(bytes, bytes + count);
        script_->writes.push_back(written);
        AnswerLocked(written);
        return {arvestra::IoOutcome::Completed, 0, 0, count};
    }
    arvestra::IoResult Read(std::uint8_t* buffer, int count, int waitMs) override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        script_->readCounts.push_back(count);
        script_->readWaits.push_back(waitMs);
        if (!script_->readResults.empty()) {
            arvestra::IoResult forced = script_->readResults.front();
            script_->readResults.pop_front();
            return forced;
        }
        int available = static_cast<int>(script_->input.size());
        int n = count < available ? count : available;
        for (int i = 0; i < n; ++i) buffer[i] = script_->input[static_cast<std::size_t>(i)];
        script_->input.erase(script_->input.begin(), script_->input.begin() + n);
        return {arvestra::IoOutcome::Completed, 0, 0, n};
    }
    void ClearErrors() override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        ++script_->clears;
    }
    void Purge() override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        ++script_->purges;
        script_->input.clear();
    }
    void DiscardInput() override {
        std::lock_guard<std::mutex> lock(script_->mutex);
        ++script_->inputDiscards;
        script_->input.clear();
    }

  private:
    // Writes the request's address and command into the reply's echo bytes, moving its last
    // byte by what they changed so the sum stays what the script made it.
    static void EchoRequest(const FakePortScript::Bytes& written, FakePortScript::Bytes& reply) {
        if (reply.size() < 4 || written.size() < 5) return;
        // The length's low byte is doubled when it is 0xFB; the command follows it.
        const std::size_t commandAt = written[3] == 0xFB ? 5 : 4;
        if (commandAt >= written.size()) return;
        const int before = reply[1] + reply[2];
        reply[1] = written[1];
        reply[2] = written[commandAt];
        reply.back() = static_cast<std::uint8_t>(reply.back() + before - reply[1] - reply[2]);
    }

    void AnswerLocked(const FakePortScript::Bytes& written) {
        FakePortScript::Bytes reply;
        if (script_->responder) {
            reply = script_->responder(written);
        } else if (!script_->replies.empty()) {
            reply = std::move(script_->replies.front());
            script_->replies.pop_front();
        }
        if (script_->echoRequest) EchoRequest(written, reply);
        script_->input.insert(script_->input.end(), reply.begin(), reply.end());
    }

    std::shared_ptr<FakePortScript> script_;
    bool open_ = false;
};

// Makes fake ports that share one script.
class FakePortFactory final : public arvestra::SerialPortFactory {
  public:
    FakePortFactory() : script_(std::make_shared<FakePortScript>()) {}

    std::unique_ptr<arvestra::SerialPort> Create(const std::string& path) override {
        {
            std::lock_guard<std::mutex> lock(script_->mutex);
            createdFor_.push_back(path);
            if (script_->createFails) return nullptr;
        }
        return std::make_unique<FakeSerialPort>(script_);
    }

    // The script every port of this factory follows.
    FakePortScript& Script() { return *script_; }
    // The paths ports were made for.
    const std::vector<std::string>& CreatedFor() const { return createdFor_; }

  private:
    std::shared_ptr<FakePortScript> script_;
    std::vector<std::string> createdFor_;
};

}  // namespace arvestra::testing
