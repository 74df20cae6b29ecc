#include "emu/virtual_tq550.h"

#include <chrono>

#include "midi/wire_time.h"

CVirtualTq550::CVirtualTq550(std::shared_ptr<CVirtualMidiSystem> system, Tq550EmulatorOptions options,
                             std::string portName, int rateMultiple)
    : system_(std::move(system)),
      portName_(std::move(portName)),
      rateMultiple_(rateMultiple),
      emulator_(options) {
    PlugIn();
}

void CVirtualTq550::PlugIn() {
    system_->AddSource(portName_);
    system_->AddDestination(portName_, [this](std::span<const std::uint8_t> bytes) {
        {
            std::lock_guard<std::mutex> lock(queueMutex_);
            if (unplugged_) return;
            queue_.emplace_back(bytes.begin(), bytes.end());
        }
        queueChanged_.notify_all();
    });
    worker_ = std::thread([this] { Run(); });
}

void CVirtualTq550::Replug() {
    if (!Unplugged()) return;
    // The worker ended when it took the ports away.
    worker_.join();
    {
        std::lock_guard<std::mutex> lock(emulatorMutex_);
        Tq550EmulatorOptions options = emulator_.Options();
        options.exitAfter = -1;
        emulator_.SetOptions(options);
    }
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        unplugged_ = false;
    }
    PlugIn();
}

CVirtualTq550::~CVirtualTq550() {
    system_->RemoveDestination(portName_);
    system_->RemoveSource(portName_);
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        stop_ = true;
    }
    queueChanged_.notify_all();
    worker_.join();
}

void CVirtualTq550::WaitIdle() {
    std::unique_lock<std::mutex> lock(queueMutex_);
    queueChanged_.wait(lock, [this] { return stop_ || unplugged_ || (queue_.empty() && !busy_); });
}

bool CVirtualTq550::Unplugged() const {
    std::lock_guard<std::mutex> lock(queueMutex_);
    return unplugged_;
}

void CVirtualTq550::Run() {
    for (;;) {
        std::vector<std::uint8_t> message;
        {
            std::unique_lock<std::mutex> lock(queueMutex_);
            queueChanged_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (stop_) return;
            message = std::move(queue_.front());
            queue_.pop_front();
            busy_ = true;
        }
        bool exit = false;
        std::vector<CTq550Emulator::Message> answers;
        {
            std::lock_guard<std::mutex> lock(emulatorMutex_);
            answers = emulator_.Receive(message);
            exit = emulator_.ShouldExit();
        }
        for (const auto& answer : answers) {
            const auto start = std::chrono::steady_clock::now();
            system_->Emit(portName_, answer);
            SleepUntil(start + WireTime(answer.size(), rateMultiple_));
        }
        // The ports are gone before anyone can see the device as unplugged.
        if (exit) {
            system_->RemoveDestination(portName_);
            system_->RemoveSource(portName_);
        }
        {
            std::lock_guard<std::mutex> lock(queueMutex_);
            busy_ = false;
            if (exit) {
                unplugged_ = true;
                queue_.clear();
            }
        }
        queueChanged_.notify_all();
        if (exit) return;
    }
}
