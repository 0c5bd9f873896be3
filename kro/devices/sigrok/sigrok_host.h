#pragma once
#include "kro/devices/job_queue.h"
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// GLib's own names for its types, declared here so GLib's headers stay out.
struct _GMainContext; // NOLINT(bugprone-reserved-identifier)
struct _GMainLoop;    // NOLINT(bugprone-reserved-identifier)
struct sr_context;

namespace kro {

class SigrokDevice;

// The one thread that talks to libsigrok. It runs a GLib main loop on a main
// context of its own (not the default one, which the window's thread may
// iterate too), so every driver callback and every session event arrives
// here; other threads hand it work through call() or post().
// The devices libsigrok finds are scanned here in the background from the
// first use on.
class SigrokHost {
public:
    // The process's host, started on first use.
    static SigrokHost& instance();

    SigrokHost();
    ~SigrokHost();
    SigrokHost(const SigrokHost&) = delete;
    SigrokHost& operator=(const SigrokHost&) = delete;

    // Runs `work` on the host's thread and waits for it; its exception comes
    // out of here. Called on the host's thread, it runs at once.
    void call(const std::function<void()>& work);
    // Runs `work` on the host's thread later, without waiting.
    void post(std::function<void()> work);
    bool onHostThread() const { return std::this_thread::get_id() == hostThread_.load(); }

    // The devices found so far, waiting for the start-up scan to end. The list
    // only grows, and entries stay where they are.
    std::vector<SigrokDevice*> devices();
    // The drivers that speak to serial instruments, which no scan finds alone.
    std::vector<std::string> serialDrivers();
    // Scans `driver` for a serial instrument on `port` (e.g. "/dev/ttyUSB0")
    // and adds what it finds; the devices added, or a message saying why none.
    std::vector<SigrokDevice*> addSerial(const std::string& driver, const std::string& port, std::string& message);

    sr_context* context() const { return context_; }
    _GMainContext* mainContext() const { return mainContext_; }

    // For the host's job source, on its thread.
    bool hasJobs();
    void runJobs();

private:
    void run();
    void scanAll();

    _GMainContext* mainContext_ = nullptr;
    _GMainLoop* loop_ = nullptr;
    sr_context* context_ = nullptr;
    JobQueue jobs_;
    std::mutex mutex_;
    std::condition_variable scanned_;
    bool scanDone_ = false;
    std::vector<std::unique_ptr<SigrokDevice>> devices_; // host thread writes, under mutex_
    // Set by the thread itself: the std::thread is still being assigned when it starts.
    std::atomic<std::thread::id> hostThread_;
    std::thread thread_;
};

} // namespace kro
