// More than 4 GiB through every path, in the main window on the fastest
// simulated card (offscreen): record, Save As, open, jump to 90 % and play,
// build the overview, and convert with ondrel-convert; then the row count and
// the last scan checked against the card's signal, each step's time and the
// peak memory. Not a CI test: it writes about 20 GB and takes minutes.
//
//   overview_end_to_end_bench [GIB [RATE]]   4.1 GiB and 20 MS/s by default
//
// Run it from the build's bin folder (ondrel-convert is taken from beside it)
// with TMPDIR on a disk with room.
#include "common/scratch_folder.h"
#include "run_for.h"
#include "support/frm_main_probe.h"
#include "support/recorded_prompts.h"
#include "support/test_components.h"
#include "kro/devices/sim_signal.h"
#include "ondrel/common/file_paths.h"
#include "ondrel/overview/summary_cache.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/window/frm_main.h"
#include "ondrel/window/overview_window.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace ondrel;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int32_t kChannels = 16;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

long PeakMiB(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return usage.ru_maxrss / 1024;
}

bool failed = false;

void Check(bool ok, const std::string& what)
{
    std::printf("  %s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    failed = failed || !ok;
}

// Newlines in a file (one per scan row of a text export), and its last line.
uint64_t CountRows(const std::string& path, std::string& lastLine)
{
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr)
        return 0;
    std::vector<char> buffer(4 << 20);
    uint64_t rows = 0;
    std::string tail;
    for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
        const char* end = buffer.data() + got;
        const char* lastNewline = nullptr;
        for (const char* at = buffer.data(); (at = static_cast<const char*>(std::memchr(at, '\n', end - at))); ++at) {
            ++rows;
            lastNewline = at;
        }
        if (lastNewline != nullptr)
            tail.assign(lastNewline + 1, end);
        else
            tail.append(buffer.data(), got);
    }
    std::fclose(in);
    lastLine = tail;
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const double gib = argc > 1 ? std::atof(argv[1]) : 4.1;
    const double rate = argc > 2 ? std::atof(argv[2]) : 20e6;
    const auto target = static_cast<uint64_t>(gib * (uint64_t{1} << 30));
    ScratchFolder out;
    ::setenv("XDG_CACHE_HOME", (out / "cache").c_str(), 1);
    std::printf("recording %.2f GiB, %d channels at %.0f S/s on the fastest simulated card\n", gib, kChannels, rate);

    testing::TestComponents components;
    components.aiCard = kro::card::Fast;
    testing::RecordedPrompts prompts;
    MonotonicClock clock;
    std::string workingFolder;
    {
        FrmMain form(components, prompts, clock);
        form.show();
        workingFolder = testing::Inside(form).files()->Folder();
        components.ai->setChanCount(kChannels);
        components.ai->setSampleRate(rate);
        testing::Inside(form).setup().bSoftMode = false;
        testing::Inside(form).setup().bFAICyclic = true;
        testing::Inside(form).setup().nAISampleCnt = std::max(4096, static_cast<int32_t>(rate / 5) / 32 * 32);
        testing::Inside(form).plots().SetupPlots(false, true);
        testing::Inside(form).KroButton1().setValue(true);
        testing::Inside(form).run().KroButton1_SwitchChanged();
        form.findChild<QCheckBox*>("CkAISave2Disk")->setChecked(true);
        testing::Inside(form).run().CkAISave2Disk_Click(true);

        // Record.
        auto step = Clock::now();
        const std::string fai = testing::Inside(form).files()->FAIFileName();
        testing::Inside(form).run().BtnStart_Click();
        RunFor(3600, [&] {
            std::error_code ignored;
            return !testing::Inside(form).run().status().isSystemRunning || fs::file_size(fai, ignored) >= target;
        });
        const bool kept = testing::Inside(form).run().status().isSystemRunning;
        if (kept)
            testing::Inside(form).run().BtnStart_Click();
        const uint64_t recorded = fs::file_size(fai);
        std::printf("record: %.1f s, %.2f GiB%s\n", Seconds(step), static_cast<double>(recorded) / (1 << 30),
                    kept ? "" : " (the run stopped by itself)");
        Check(kept && recorded > (uint64_t{4} << 30), "more than 4 GiB recorded without an overrun");

        // Save As.
        step = Clock::now();
        prompts.folderAnswers.push_back(FolderChoice{"/", out.path(), "saved"});
        testing::Inside(form).saveAs().BtnSaveAs_Click();
        std::printf("save as: %.1f s\n", Seconds(step));
        Check(prompts.messages.empty(), prompts.messages.empty() ? "saved" : prompts.messages[0].text);
        const std::string project = out / "saved/Project.onp";

        // Open, jump to 90 % and play two seconds.
        step = Clock::now();
        form.OpenProject(project);
        std::printf("open: %.3f s\n", Seconds(step));
        const int64_t scans = testing::Inside(form).replay().nHisDataScanCount;
        Check(scans == static_cast<int64_t>(recorded / (4 * kChannels)), "the whole scans recorded are replayed");
        step = Clock::now();
        const auto ninety = static_cast<int64_t>(std::llround(0.9 * static_cast<double>(scans)));
        // Play from a stop starts at the beginning; the jump goes on playing.
        form.findChild<QPushButton*>("ChkPlay")->click();
        testing::Inside(form).replayControl().JumpToScan(ninety);
        RunFor(2.0);
        const int64_t reached = testing::Inside(form).replayControl().PositionScan();
        form.findChild<QPushButton*>("BtnStop")->click();
        std::printf("jump to 90 %% and play 2 s: from scan %lld to %lld\n", static_cast<long long>(ninety),
                    static_cast<long long>(reached));
        Check(reached > ninety && testing::Inside(form).KroGraph1().Plots().Item(0).PointCount() > 0,
              "replay went on from 90 %");

        // The overview, from the chart's menu.
        step = Clock::now();
        QMenu* menu = testing::Inside(form).graphView().Menufile();
        emit menu->aboutToShow();
        menu->findChild<QAction*>("mnuOverview")->trigger();
        auto* overview = form.findChild<OverviewWindow*>("frmOverview");
        RunFor(3600, [&] { return overview->summary() != nullptr && overview->summary()->Finished(); });
        std::printf("overview summary built: %.1f s, %.2f MiB\n", Seconds(step),
                    static_cast<double>(overview->summary()->Bytes()) / (1 << 20));
        Check(overview->summary()->AIDone() == scans, "the overview sums up every scan");
    }
    fs::remove_all(workingFolder);
    const long programPeak = PeakMiB(RUSAGE_SELF);

    // Convert with ondrel-convert.
    auto step = Clock::now();
    const std::string convert = ProgramFolder() + "/ondrel-convert";
    // Its own peak memory, from time(1): a forked child's figure would count the parent's pages.
    const std::string timed =
        fs::exists("/usr/bin/time") ? "/usr/bin/time -f 'ondrel-convert peak memory: %M KiB' " : "";
    const std::string command =
        timed + "'" + convert + "' '" + (out / "saved/Project.onp") + "' '" + (out / "text") + "'";
    const int status = std::system(command.c_str());
    std::printf("ondrel-convert (text): %.1f s, exit %d\n", Seconds(step), status);
    std::string last;
    const uint64_t rows = CountRows(out / "text/AI.xlt", last);
    const uint64_t scans = fs::file_size(out / "saved/AI.ond") / (4 * kChannels);
    Check(status == 0 && rows == scans, "AI.xlt holds a row per scan (" + std::to_string(rows) + ")");

    // The last scan, as the card's signal gives it.
    std::vector<kro::SimRange> ranges;
    kro::SimAI card(kro::card::Fast, nullptr);
    for (int32_t ch = 0; ch < card.MaxChanCount(); ++ch) {
        kro::SimRange r;
        card.GetChannelRange(ch, r.low, r.high, r.code);
        ranges.push_back(r);
    }
    const int64_t period = kro::SimSignal::bufferedPeriod(rate, kChannels);
    std::vector<double> fields;
    for (char* at = last.data(); *at != '\0';) {
        char* end = nullptr;
        fields.push_back(std::strtod(at, &end));
        at = *end == '\t' ? end + 1 : end + std::strlen(end);
    }
    bool same = fields.size() == kChannels + 1;
    for (int32_t c = 0; same && c < kChannels; ++c) {
        const kro::SimSample want = kro::SimSignal::runSample(*card.card(), 0, kChannels, ranges,
                                                              static_cast<int64_t>(scans - 1) * kChannels + c, period);
        const double value = fields[static_cast<size_t>(c) + 1];
        same = std::abs(value - want.value) <= 1e-6 * std::max(1.0, std::abs(want.value))
               || value == static_cast<double>(static_cast<uint16_t>(want.raw));
    }
    Check(same, "the last scan is the card's signal: " + last.substr(0, 60) + "...");
    std::printf("peak memory: the program %ld MiB\n", programPeak);
    return failed ? 1 : 0;
}
