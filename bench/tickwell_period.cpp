// Period of TimerEvent against QTimer (Qt::PreciseTimer), side by side on one
// thread under the same load, then the CPU cost of 1,000 passes a second over
// 64 entries.
//
//   tickwell_period_bench [SECONDS]      (default 10)
//
// The control is created by class identifier through kom, as a host does.
#include "kom/client.h"
#include "tickwell/period_stats.h"
#include "tickwell/tickwell_ids.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <ctime>
#include <sys/resource.h>
#include <sys/timerfd.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Series {
    const char* name;
    double interval;
    std::vector<Clock::time_point> t;
};

void report(const Series& s)
{
    const tickwell::PeriodStats p = tickwell::periodStats(s.t, s.interval);
    if (p.periods == 0) {
        std::printf("%-24s no events\n", s.name);
        return;
    }
    std::printf("%-24s %7zu %9.4f %+7.2f%% %8.3f %8.3f %8.3f %8.3f\n", s.name, s.t.size(), p.mean,
                100.0 * (p.mean - s.interval) / s.interval, p.p50, p.p99, p.max, p.p99Error);
}

void wait(int ms)
{
    QTimer::singleShot(ms, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Percent of one core the process uses while `run(ms)` runs.
template <typename Run>
double measureCpu(int ms, Run run)
{
    const double cpu0 = cpuSeconds();
    const auto wall0 = Clock::now();
    run(ms);
    return 100.0 * (cpuSeconds() - cpu0) / std::chrono::duration<double>(Clock::now() - wall0).count();
}

void bareTimerfdLoop(int ms)
{
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    const itimerspec every{{0, 1000000}, {0, 1000000}};
    timerfd_settime(fd, 0, &every, nullptr);
    uint64_t expiries = 0;
    for (int64_t done = 0; done < ms;)
        if (read(fd, &expiries, sizeof expiries) == static_cast<ssize_t>(sizeof expiries))
            done += static_cast<int64_t>(expiries);
    close(fd);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    kom::Control timer;
    if (kom::FAILED(kom::Control::create(tickwell::CLSID_TickwellCtl, timer))) {
        std::fprintf(stderr, "cannot create the timer control (libtickwell.so beside this program?)\n");
        return 1;
    }
    timer.load(tickwell::EmptyState);

    Series tw1{"TimerEvent 1 ms", 1, {}}, tw10{"TimerEvent 10 ms", 10, {}};
    Series qt1{"QTimer precise 1 ms", 1, {}}, qt10{"QTimer precise 10 ms", 10, {}};
    for (Series* s : {&tw1, &tw10, &qt1, &qt10})
        s->t.reserve(static_cast<size_t>(seconds) * 1100);
    auto events = timer.connect(tickwell::DIID_ITickwellCtlEvents, [&](kom::DISPID, std::span<const kom::Variant> a) {
        const auto now = Clock::now();
        (a[0].stringOr(u"") == u"one" ? tw1 : tw10).t.push_back(now);
    });
    QTimer q1, q10;
    q1.setTimerType(Qt::PreciseTimer);
    q10.setTimerType(Qt::PreciseTimer);
    QObject::connect(&q1, &QTimer::timeout, [&] { qt1.t.push_back(Clock::now()); });
    QObject::connect(&q10, &QTimer::timeout, [&] { qt10.t.push_back(Clock::now()); });

    timer.call(tickwell::DISPID_Add, {u"one", 1, -1});
    timer.call(tickwell::DISPID_Add, {u"ten", 10, -1});
    q1.start(1);
    q10.start(10);
    wait(seconds * 1000);
    q1.stop();
    q10.stop();
    timer.call(tickwell::DISPID_RemoveALL);

    std::printf("Period over %d s, all four on the owning thread at once (ms)\n", seconds);
    std::printf("%-24s %7s %9s %8s %8s %8s %8s %8s\n", "series", "events", "mean", "error", "p50", "p99", "max",
                "p99|err|");
    for (const Series* s : {&tw1, &qt1, &tw10, &qt10})
        report(*s);

    // CPU: 64 enabled entries that never come due, so every tick is a full
    // pass that fires nothing.
    for (int i = 0; i < 64; ++i) {
        std::u16string key = u"idle ";
        key += kom::utf8ToWide(std::to_string(i));
        timer.call(tickwell::DISPID_Add, {kom::Variant(key), 1000000, -1});
    }
    wait(200);
    const double cpu = measureCpu(seconds * 500, [](int ms) { wait(ms); });
    timer.call(tickwell::DISPID_RemoveALL);
    std::printf("\nCPU with 64 enabled entries, 1,000 passes/s: %.2f %% of one core\n", cpu);

    // The same wake-up rate without the control, for scale: a QTimer whose
    // slot does nothing, and a bare blocking read of a 1 ms timerfd.
    QTimer empty;
    empty.setTimerType(Qt::PreciseTimer);
    QObject::connect(&empty, &QTimer::timeout, [] {});
    empty.start(1);
    const double qtCpu = measureCpu(seconds * 500, [](int ms) { wait(ms); });
    empty.stop();
    const double bareCpu = measureCpu(seconds * 500, bareTimerfdLoop);
    std::printf("For scale, 1,000 wake-ups/s: an empty QTimer slot %.2f %%, a bare timerfd read loop %.2f %%\n", qtCpu,
                bareCpu);
    return 0;
}
