#include "ondrel/window/timer_polling_thread.h"
#include "ondrel/acquisition/soft_polling.h"
#include <cerrno>
#include <exception>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace ondrel {

TimerPollingThread::TimerPollingThread(TimerMaker makeTimer) : makeTimer_(std::move(makeTimer)), there_(new QObject)
{
    thread_.setObjectName(QStringLiteral("polling"));
    there_->moveToThread(&thread_);
}

TimerPollingThread::~TimerPollingThread()
{
    if (thread_.isRunning()) {
        RunThere([this] {
            timer_.reset();
            tick_ = nullptr;
        });
        thread_.quit();
        thread_.wait();
    }
    delete there_;
}

// A tick woken more than a millisecond late loses the tick before it, so the
// thread asks to run ahead of everything ordinary: real-time scheduling where
// the system grants it (root, or an rtprio limit as audio programs have),
// else a lower nice value than the program's where that is allowed, else it
// runs as it is. Its work per tick is small and it sleeps between ticks, and
// the kernel keeps real-time threads from taking a whole core.
void TimerPollingThread::RaisePriority()
{
    sched_param realTime{};
    realTime.sched_priority = 10;
    if (::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &realTime) == 0)
        return;
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), nice - 5);
}

void TimerPollingThread::RunThere(const std::function<void()>& work)
{
    if (!thread_.isRunning())
        thread_.start();
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        there_,
        [&] {
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure)
        std::rethrow_exception(failure);
}

void TimerPollingThread::Start(int32_t interval, std::function<void()> tick)
{
    RunThere([&] {
        if (!timer_) {
            RaisePriority();
            timer_ = makeTimer_();
            timer_->setHandler([this](const std::string& key) {
                if (key == kSoftPoolTimer && tick_)
                    tick_();
            });
        }
        tick_ = std::move(tick);
        if (!timer_->exist(kSoftPoolTimer)) {
            timer_->Add(kSoftPoolTimer, interval, true);
        } else {
            timer_->setInterval(kSoftPoolTimer, interval);
            timer_->setEnabled(kSoftPoolTimer, true);
        }
    });
}

void TimerPollingThread::Stop()
{
    if (!thread_.isRunning())
        return;
    RunThere([this] {
        if (timer_ && timer_->exist(kSoftPoolTimer))
            timer_->setEnabled(kSoftPoolTimer, false);
        tick_ = nullptr;
    });
}

void TimerPollingThread::Post(std::function<void()> work)
{
    QMetaObject::invokeMethod(&here_, std::move(work), Qt::QueuedConnection);
}

} // namespace ondrel
