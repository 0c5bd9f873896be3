// tickwell-frame: a small design-time host for the Tickwell timer control.
//
//   tickwell-frame STATE            edit the saved state in the property page
//   tickwell-frame --list STATE     print key, enabled, interval per entry
//   tickwell-frame --run MS STATE   run the state for MS ms, print period statistics
//
// The control is created by class identifier through kom (registry, or the
// library beside this program); this program does not link it.
#include "kom/atomic_file.h"
#include "kom/client.h"
#include "kom/page_frame.h"
#include "tickwell/period_stats.h"
#include "tickwell/state_format.h"
#include "tickwell/tickwell_ids.h"

#include "tools/cli/qt_command_line.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

using kom::HRESULT;

int fail(const std::string& message)
{
    std::fprintf(stderr, "tickwell-frame: %s\n", message.c_str());
    return 1;
}

std::string hex(HRESULT h)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08" PRIX32, static_cast<uint32_t>(h));
    return buf;
}

bool readFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

struct Entry {
    std::string key; // single-byte text
    int32_t enabled;
    int32_t interval;
};

struct Parsed {
    std::vector<Entry> entries;
    tickwell::StateReadResult result;
    size_t consumed = 0;
};

Parsed parse(const std::vector<uint8_t>& bytes)
{
    Parsed p;
    auto read = [&](void* buffer, size_t size) {
        if (bytes.size() - p.consumed < size)
            return false;
        std::copy_n(bytes.data() + p.consumed, size, static_cast<uint8_t*>(buffer));
        p.consumed += size;
        return true;
    };
    tickwell::StateTail tail;
    p.result = tickwell::readState(
        read,
        [&](std::string key, int32_t enabled, int32_t interval) {
            p.entries.push_back({std::move(key), enabled, interval});
        },
        tail);
    return p;
}

// What is wrong with a saved state, or "" when it is sound.
std::string damage(const std::vector<uint8_t>& bytes)
{
    Parsed p = parse(bytes);
    using tickwell::StateError;
    switch (p.result.error) {
    case StateError::None:
        if (p.consumed != bytes.size())
            return std::to_string(bytes.size() - p.consumed) + " unexpected bytes after the end of the state";
        return {};
    case StateError::BadCount:
        return "negative entry count " + std::to_string(p.result.declaredCount);
    case StateError::BadKeyLength:
        return "negative key length in entry " + std::to_string(p.result.entriesRead + 1);
    case StateError::Truncated:
        if (std::string_view(p.result.where) == "entry count")
            return bytes.empty() ? "empty file" : "too short to hold an entry count";
        if (p.result.entriesRead < p.result.declaredCount)
            return "ends in the " + std::string(p.result.where) + " of entry "
                   + std::to_string(p.result.entriesRead + 1) + " of " + std::to_string(p.result.declaredCount);
        return "ends in the " + std::string(p.result.where) + " after " + std::to_string(p.result.entriesRead)
               + " entries";
    }
    return "unreadable";
}

// Creates the control and loads the state file. A missing file gives a fresh
// control only when `freshIfMissing`.
int openControl(const std::string& path, bool userMode, bool freshIfMissing, kom::Control& control)
{
    std::vector<uint8_t> bytes;
    const bool exists = std::filesystem::exists(path);
    if (!exists && !freshIfMissing)
        return fail(path + ": no such file");
    if (exists && !readFile(path, bytes))
        return fail(path + ": cannot read the file");
    if (exists) {
        if (std::string why = damage(bytes); !why.empty())
            return fail(path + ": damaged timer state: " + why);
    }
    HRESULT h = kom::Control::create(tickwell::CLSID_TickwellCtl, control, kom::ControlOptions{userMode});
    if (kom::FAILED(h))
        return fail("cannot create the timer control " + tickwell::CLSID_TickwellCtl.toString() + " (" + hex(h)
                    + "): register libtickwell.so or keep it beside this program");
    h = exists ? control.load(bytes) : control.initNew();
    if (kom::FAILED(h))
        return fail(path + ": the control refused the state (" + hex(h) + ")");
    return 0;
}

std::vector<Entry> entriesOf(const kom::Control& control)
{
    std::vector<uint8_t> bytes;
    control.save(bytes, false);
    return parse(bytes).entries;
}

int list(const std::string& path)
{
    kom::Control control;
    if (int rc = openControl(path, false, false, control))
        return rc;
    for (const Entry& e : entriesOf(control))
        std::printf("%s\t%" PRId32 "\t%" PRId32 "\n", kom::narrowToUtf8(e.key).c_str(), e.enabled, e.interval);
    return 0;
}

std::string ms(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
}

int run(const std::string& msText, const std::string& path)
{
    char* end = nullptr;
    long duration = std::strtol(msText.c_str(), &end, 10);
    if (msText.empty() || *end != '\0' || duration < 0 || duration > 86400000L)
        return fail("MS must be a number of milliseconds, not '" + msText + "'");
    kom::Control control;
    if (int rc = openControl(path, true, false, control))
        return rc;
    using Clock = std::chrono::steady_clock;
    std::map<std::string, std::vector<Clock::time_point>> events;
    HRESULT h = kom::S_OK;
    kom::Connection connection = control.connect(
        tickwell::DIID_ITickwellCtlEvents,
        [&](kom::DISPID id, std::span<const kom::Variant> args) {
            if (id == tickwell::DISPID_TimerEvent && !args.empty())
                events[kom::wideToNarrow(args[0].stringOr(u""))].push_back(Clock::now());
        },
        &h);
    if (kom::FAILED(h))
        return fail("cannot connect to the control's events (" + hex(h) + ")");
    QTimer::singleShot(static_cast<int>(duration), QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    connection.reset();

    for (const Entry& e : entriesOf(control)) {
        const auto& times = events[e.key];
        const tickwell::PeriodStats p = tickwell::periodStats(times);
        std::string stats = "-\t-\t-\t-";
        if (p.periods > 0)
            stats = ms(p.mean) + "\t" + ms(p.p50) + "\t" + ms(p.p99) + "\t" + ms(p.max);
        std::printf("%s\t%zu\t%s\n", kom::narrowToUtf8(e.key).c_str(), times.size(), stats.c_str());
    }
    return 0;
}

int edit(const std::string& path)
{
    kom::Control control;
    if (int rc = openControl(path, false, true, control))
        return rc;
    int result = 0;
    {
        kom::PropertyFrame frame(nullptr, QStringLiteral("TickwellCtl Properties - ") + QString::fromStdString(path),
                                 {kom::ComPtr<kom::IUnknown>(control.object())});
        HRESULT h = frame.addPagesOf(control.object());
        if (kom::FAILED(h))
            return fail("cannot open the property page (" + hex(h) + ")");
        frame.exec();
    }
    if (control.isDirty() == kom::S_OK) {
        std::vector<uint8_t> bytes;
        HRESULT h = control.save(bytes);
        if (kom::FAILED(h))
            result = fail(path + ": the control cannot save its state (" + hex(h) + ")");
        else if (int err = kom::writeFileAtomically(path, std::as_bytes(std::span(bytes))))
            result = fail(path + ": cannot write the state: " + std::strerror(err));
        else
            std::printf("saved %s\n", path.c_str());
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    std::string state;
    std::optional<std::string> runFor;
    bool listOnly = false;
    {
        // Parsed before any QApplication exists: --help, --version, --list and
        // --run need no display.
        QCoreApplication parsing(argc, argv);
        QCommandLineParser parser;
        parser.setApplicationDescription("Edits and inspects a saved state of the Tickwell timer control.\n"
                                         "Without an option: open the property page on STATE (a missing file "
                                         "starts from a fresh control); Apply writes the state back.");
        const QCommandLineOption list("list", "Print one line per entry: key, enabled, interval.");
        const QCommandLineOption run("run",
                                     "Run the state for MS milliseconds and print, per key, events, mean, "
                                     "p50, p99 and max period (ms).",
                                     "MS");
        parser.addOptions({list, run});
        parser.addPositionalArgument("STATE", "The saved timer state.");
        if (const auto status = cli::ParseOrFinish(parser, "tickwell-frame", argc, argv))
            return *status;
        if (parser.positionalArguments().size() != 1)
            return cli::UsageError(parser, "tickwell-frame", "needs one STATE file");
        if (parser.isSet(list) && parser.isSet(run))
            return cli::UsageError(parser, "tickwell-frame", "--list and --run do not go together");
        state = cli::Bytes(parser.positionalArguments().front());
        listOnly = parser.isSet(list);
        if (parser.isSet(run))
            runFor = cli::Bytes(parser.value(run));
    }
    if (listOnly) {
        QCoreApplication app(argc, argv);
        return list(state);
    }
    if (runFor) {
        QCoreApplication app(argc, argv);
        return run(*runFor, state);
    }
    QApplication app(argc, argv);
    return edit(state);
}
