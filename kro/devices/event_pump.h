#pragma once
#include "kro/devices/job_queue.h"
#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace kro {

// Carries work from any thread to the thread that created the pump, in order.
// post() queues under a mutex and wakes the owner's event loop through an
// eventfd; the owner runs the queued calls one at a time, so a nested event
// loop inside a call (a message box) keeps the order. Calls still queued when
// the pump is destroyed are dropped without running.
class EventPump : public QObject {
    Q_OBJECT
public:
    EventPump();
    ~EventPump() override;
    EventPump(const EventPump&) = delete;
    EventPump& operator=(const EventPump&) = delete;

    void post(std::function<void()> call); // thread-safe

private:
    void drain();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    JobQueue queue_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace kro
