#include "tickwell/timer_table.h"

#include "tickwell/platform_timer.h"
#include "tickwell/tick_window.h"

#include <algorithm>
#include <atomic>

namespace tickwell {

namespace {

uint32_t newTimerId()
{
    static std::atomic<uint32_t> next{1};
    uint32_t id = next.fetch_add(1, std::memory_order_relaxed);
    return id != 0 ? id : next.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

TimerTable::TimerTable()
{
    entries_.reserve(MaxEntries);
    PeriodRange range = supportedPeriods();
    resolution_ = std::min(range.smallest, range.largest);
}

TimerTable::~TimerTable() { TimerTable::StopTimer(); }

TimerEntry* TimerTable::find(std::string_view key)
{
    for (TimerEntry& e : entries_)
        if (e.Key == key)
            return &e;
    return nullptr;
}

const TimerEntry* TimerTable::find(std::string_view key) const
{
    for (const TimerEntry& e : entries_)
        if (e.Key == key)
            return &e;
    return nullptr;
}

bool TimerTable::AddEntry(std::string_view key, int32_t interval, int32_t enabled)
{
    if (entries_.size() >= MaxEntries || find(key))
        return false;
    entries_.push_back(TimerEntry{interval, 0, std::string(key), Now()});
    return SetEnabled(key, enabled, true);
}

bool TimerTable::RemoveEntry(std::string_view key)
{
    if (!find(key))
        return false;
    SetEnabled(key, 0, true);
    // SetEnabled cannot remove entries, so the first match is still there.
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const TimerEntry& e) { return e.Key == key; });
    entries_.erase(it);
    return true;
}

bool TimerTable::RemoveAllEntries()
{
    entries_.clear();
    StopTimer();
    enabledCount_ = 0;
    return true;
}

bool TimerTable::GetInterval(std::string_view key, int32_t& interval) const
{
    const TimerEntry* e = find(key);
    if (!e)
        return false;
    interval = e->Interval;
    return true;
}

bool TimerTable::SetInterval(std::string_view key, int32_t interval)
{
    TimerEntry* e = find(key);
    if (!e)
        return false;
    e->Interval = interval;
    return true;
}

bool TimerTable::GetEnabled(std::string_view key, int32_t& enabled) const
{
    const TimerEntry* e = find(key);
    if (!e)
        return false;
    enabled = e->Enabled;
    return true;
}

bool TimerTable::SetEnabled(std::string_view key, int32_t value, bool apply)
{
    TimerEntry* e = find(key);
    if (!e)
        return false;
    if (e->Enabled == value)
        return true;
    const bool was = e->Enabled != 0;
    e->Enabled = value;
    if (was != (value != 0))
        enabledCount_ += value != 0 ? 1 : -1;
    e->LastFire = Now();
    if (!apply)
        return true;
    if (!running_) {
        if (enabledCount_ > 0)
            StartTimer(); // a refusal or failure leaves the entry enabled and counted
        return true;
    }
    if (enabledCount_ == 0)
        StopTimer();
    return true;
}

void TimerTable::DispatchTickAt(const uint32_t now)
{
    for (size_t i = 0; i < entries_.size(); ++i) {
        TimerEntry& e = entries_[i];
        if (e.Enabled == 0 || static_cast<int32_t>(now - e.LastFire) < e.Interval)
            continue;
        std::string key = e.Key; // the handler may change the table
        FireTimer(key);
        if (i < entries_.size() && entries_[i].Key == key) {
            entries_[i].LastFire = now;
            continue;
        }
        // The table changed under the handler. If the fired entry moved up
        // (an earlier one was removed), go on after its new place; if it is
        // gone or was re-added at the end, the entry now at this place has
        // not been visited yet.
        auto it = std::find_if(entries_.begin(), entries_.end(), [&](const TimerEntry& x) { return x.Key == key; });
        if (it != entries_.end())
            it->LastFire = now;
        if (it != entries_.end() && static_cast<size_t>(it - entries_.begin()) < i)
            i = static_cast<size_t>(it - entries_.begin());
        else
            --i; // wraps for i == 0; the loop's ++i brings it back
    }
}

void TimerTable::HandleTickMessage(uint32_t sent)
{
    if (running_) {
        const uint32_t now = Now();
        const auto late = static_cast<int32_t>(now - sent);
        DispatchTickAt(late >= 0 && late <= 1 ? sent : now);
    }
}

void TimerTable::ReplaceEntries(std::vector<TimerEntry> entries)
{
    entries_ = std::move(entries);
    if (entries_.capacity() < MaxEntries)
        entries_.reserve(MaxEntries);
}

void TimerTable::RecountEnabled()
{
    enabledCount_ = static_cast<int32_t>(
        std::count_if(entries_.begin(), entries_.end(), [](const TimerEntry& e) { return e.Enabled != 0; }));
}

void TimerTable::AppendLoadedEntry(std::string key, int32_t enabled, int32_t interval)
{
    // Taken as long past: due at the first tick. A quarter of the clock's range
    // back (about twelve days) stays a positive signed difference for as long
    // again, while any interval up to that is already due.
    entries_.push_back(TimerEntry{interval, enabled, std::move(key), Now() - LongPast});
}

void TimerTable::FireTimer(const std::string&) {}

bool TimerTable::StartTimer()
{
    if (!window_)
        return false;
    window_->reset();
    beginResolution(resolution_);
    timer_ = PeriodicTimer::start(window_->tickFd());
    if (!timer_) {
        endResolution(resolution_);
        return false;
    }
    timerId_ = newTimerId();
    running_ = true;
    return true;
}

bool TimerTable::StopTimer()
{
    if (timerId_ != 0) {
        timer_.reset(); // disarms: no tick comes after this, not even from inside a pass
        if (window_)
            window_->reset();
        timerId_ = 0;
        endResolution(resolution_);
    }
    running_ = false;
    return true;
}

uint32_t TimerTable::Now() const { return millisecondClock(); }

} // namespace tickwell
