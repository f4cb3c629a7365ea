#include "cli/CliProgress.h"

#include <chrono>

namespace arvestra::cli {

namespace {

constexpr auto kInterval = std::chrono::milliseconds(200);

}  // namespace

CliProgress::CliProgress(CliConsole& console, std::function<std::string()> status)
    : console_(console), status_(std::move(status)) {
    if (console_.ShowsProgress()) thread_ = std::thread([this] { Run(); });
}

CliProgress::~CliProgress() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    console_.EndProgress();
}

void CliProgress::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        lock.unlock();
        console_.Progress(status_());
        lock.lock();
        wake_.wait_for(lock, kInterval, [this] { return stop_; });
    }
}

}  // namespace arvestra::cli
