#pragma once
// The timer engine: an ordered table of keyed entries driven by one 1 ms
// platform timer that runs only while an entry is enabled. Every operation,
// and every pass, runs on the thread that owns the table.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tickwell {

class PeriodicTimer;
class TickWindow;

struct TimerEntry {
    int32_t Interval = 0;  // ms; 0 or negative: due at every tick
    int32_t Enabled = 0;   // non-zero enables; returned as stored
    std::string Key;       // single-byte text, compared byte for byte
    uint32_t LastFire = 0; // clock value at the last expiry or (re)arming

    friend bool operator==(const TimerEntry&, const TimerEntry&) = default;
};

class TimerTable {
public:
    static constexpr size_t MaxEntries = 64;
    static constexpr uint32_t TickMessage = 0x1400;
    static constexpr int32_t DefaultInterval = 1000;
    static constexpr uint32_t LongPast = 0x40000000u; // ms before now for a loaded entry

    TimerTable();
    virtual ~TimerTable();
    TimerTable(const TimerTable&) = delete;
    TimerTable& operator=(const TimerTable&) = delete;

    // Where ticks arrive; without one the engine cannot start its timer.
    void SetTickWindow(TickWindow* window) { window_ = window; }

    bool AddEntry(std::string_view key, int32_t interval, int32_t enabled);
    bool RemoveEntry(std::string_view key);
    bool RemoveAllEntries();
    bool GetInterval(std::string_view key, int32_t& interval) const;
    bool SetInterval(std::string_view key, int32_t interval);
    bool GetEnabled(std::string_view key, int32_t& enabled) const;
    bool SetEnabled(std::string_view key, int32_t value, bool apply);
    bool Contains(std::string_view key) const { return find(key) != nullptr; }
    int32_t EntryCount() const { return static_cast<int32_t>(entries_.size()); }

    // One pass: fires every due entry once, in table order, with the clock
    // read once (or given).
    void DispatchTick() { DispatchTickAt(Now()); }
    void DispatchTickAt(uint32_t now);
    // A tick of the periodic timer, due at clock value `sent`. A pass that starts within the millisecond
    // after its tick counts at the tick's time, so that handling latency
    // never makes two ticks read the same millisecond; a later pass counts
    // at its own time.
    void HandleTickMessage(uint32_t sent);

    // Whole-table replacement (no limit check, no start or stop).
    void ReplaceEntries(std::vector<TimerEntry> entries);
    void RecountEnabled();
    // Appends an entry as read from a saved state (no limit, no start). The
    // caller drops an entry whose key the table already has.
    void AppendLoadedEntry(std::string key, int32_t enabled, int32_t interval);
    void ClearEntries() { entries_.clear(); }

    const std::vector<TimerEntry>& Entries() const { return entries_; }
    bool Running() const { return running_; }
    uint32_t TimerId() const { return timerId_; }
    uint32_t Resolution() const { return resolution_; }
    int32_t EnabledCount() const { return enabledCount_; }
    size_t Capacity() const { return entries_.capacity(); }

protected:
    // Delivers one expiry; the engine alone does nothing.
    virtual void FireTimer(const std::string& key);
    // Creates the platform timer; true on success.
    virtual bool StartTimer();
    // Destroys the platform timer; callable from inside a pass.
    virtual bool StopTimer();
    // The millisecond clock (read once per pass).
    virtual uint32_t Now() const;

private:
    TimerEntry* find(std::string_view key);
    const TimerEntry* find(std::string_view key) const;

    std::vector<TimerEntry> entries_;
    bool running_ = false;
    uint32_t timerId_ = 0;
    uint32_t resolution_ = 1;
    int32_t enabledCount_ = 0;
    TickWindow* window_ = nullptr;
    std::unique_ptr<PeriodicTimer> timer_;
};

} // namespace tickwell
