// More than 4 GiB through every path, in the main window on the fastest
// simulated card (offscreen): record, Save As, open, jump to 90 % and play,
// build the overview, and convert with ondrel-convert to tab-separated text,
// CSV, HDF5 and a sigrok session; each one's row count and last scan checked
// against the card's signal, with each step's time and the peak memory. Not a
// CI test: it writes about 25 GB and takes minutes.
//
//   overview_end_to_end_bench [GIB [RATE]]   4.1 GiB and 5 MS/s by default
//
// Faster rates overrun the disk of a small machine, which the bench reports.
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

// Rows of a text export (its newlines, less the header lines) and its last
// row: whatever follows the last newline, or the line before it when the file
// ends with one.
uint64_t CountRows(const std::string& path, std::string& lastLine)
{
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr)
        return 0;
    std::vector<char> buffer(4 << 20);
    uint64_t newlines = 0;
    std::string line;
    std::string previous;
    for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
        const char* at = buffer.data();
        const char* end = at + got;
        for (const char* newline; (newline = static_cast<const char*>(std::memchr(at, '\n', end - at)));
             at = newline + 1) {
            ++newlines;
            line.append(at, newline);
            previous.swap(line);
            line.clear();
        }
        line.append(at, end);
    }
    std::fclose(in);
    lastLine = line.empty() ? previous : line;
    if (!lastLine.empty() && lastLine.back() == '\r')
        lastLine.pop_back();
    return line.empty() ? newlines : newlines + 1;
}

// Reads the binary exports as their users do (h5py; the session's zip entries
// as the sigrok tools read them) and prints the rows, then 0 for a time and
// the last scan's values, tab-separated.
constexpr const char* kBinaryReader = R"py(
import re, struct, sys, zipfile
kind, path = sys.argv[1:3]
if kind == "hdf5":
    import h5py
    with h5py.File(path, "r") as f:
        ai = f["ai"]
        print(ai.shape[0], 0, *ai[-1].tolist(), sep="\t")
else:
    session = zipfile.ZipFile(path)
    chunks = {}
    for entry in session.infolist():
        name = re.fullmatch(r"analog-1-(\d+)-(\d+)", entry.filename)
        if name:
            chunks.setdefault(int(name[1]), []).append((int(name[2]), entry))
    rows, last = set(), []
    for channel in sorted(chunks):
        parts = [entry for _, entry in sorted(chunks[channel], key=lambda part: part[0])]
        rows.add(sum(entry.file_size for entry in parts) // 4)
        data = session.read(parts[-1])
        last.append(struct.unpack_from("<f", data, len(data) - 4)[0])
    print(rows.pop() if len(rows) == 1 else -1, 0, *last, sep="\t")
)py";

// One line of a command's output.
std::string FirstLineOf(const std::string& command)
{
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {};
    std::string line;
    for (int c; (c = std::fgetc(pipe)) != EOF && c != '\n';)
        line.push_back(static_cast<char>(c));
    ::pclose(pipe);
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const double gib = argc > 1 ? std::atof(argv[1]) : 4.1;
    const double rate = argc > 2 ? std::atof(argv[2]) : 5e6;
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

    // The last scan, as the card's signal gives it.
    const uint64_t scans = fs::file_size(out / "saved/AI.ond") / (4 * kChannels);
    std::vector<kro::SimRange> ranges;
    kro::SimAI card(kro::card::Fast, nullptr);
    for (int32_t ch = 0; ch < card.MaxChanCount(); ++ch) {
        kro::SimRange r;
        card.GetChannelRange(ch, r.low, r.high, r.code);
        ranges.push_back(r);
    }
    const int64_t period = kro::SimSignal::bufferedPeriod(rate, kChannels);
    auto isLastScan = [&](const std::string& row, char separator) {
        std::vector<double> fields;
        for (const char* at = row.c_str(); *at != '\0';) {
            char* end = nullptr;
            fields.push_back(std::strtod(at, &end));
            at = *end == separator ? end + 1 : end + std::strlen(end);
        }
        bool same = fields.size() == kChannels + 1;
        for (int32_t c = 0; same && c < kChannels; ++c) {
            const kro::SimSample want = kro::SimSignal::runSample(
                *card.card(), 0, kChannels, ranges, static_cast<int64_t>(scans - 1) * kChannels + c, period);
            const double value = fields[static_cast<size_t>(c) + 1];
            same = std::abs(value - want.value) <= 1e-6 * std::max(1.0, std::abs(want.value))
                   || value == static_cast<double>(static_cast<uint16_t>(want.raw));
        }
        return same;
    };

    // Convert with ondrel-convert to every format, each checked and removed
    // before the next, as the text ones take over 10 GB each.
    const std::string convert = ProgramFolder() + "/ondrel-convert";
    // Its own peak memory, from time(1): a forked child's figure would count the parent's pages.
    const std::string timed =
        fs::exists("/usr/bin/time") ? "/usr/bin/time -f 'ondrel-convert peak memory: %M KiB' " : "";
    const std::string reader = out / "read_binary.py";
    {
        std::FILE* script = std::fopen(reader.c_str(), "w");
        std::fputs(kBinaryReader, script);
        std::fclose(script);
    }
    struct Format {
        const char* name;
        const char* file;
        char separator; // between the values of a text row
        uint64_t headerRows;
        bool binary;
    };
    for (const Format format :
         {Format{"xlt", "AI.xlt", '\t', 1, false}, Format{"csv", "AI.csv", ',', 1, false},
          Format{"hdf5", "recording.h5", '\t', 0, true}, Format{"sr", "recording.sr", '\t', 0, true}}) {
        const auto step = Clock::now();
        const std::string folder = out / format.name;
        const std::string command = timed + "'" + convert + "' --format " + format.name + " '"
                                    + (out / "saved/Project.onp") + "' '" + folder + "'";
        const int status = std::system(command.c_str());
        const std::string file = folder + "/" + format.file;
        std::error_code ignored;
        std::printf("ondrel-convert (%s): %.1f s, exit %d, %.2f GiB\n", format.name, Seconds(step), status,
                    static_cast<double>(fs::file_size(file, ignored)) / (1 << 30));
        std::string last;
        uint64_t rows = 0;
        if (format.binary) {
            last = FirstLineOf("/usr/bin/python3 '" + reader + "' " + format.name + " '" + file + "'");
            rows = std::strtoull(last.c_str(), nullptr, 10);
            last = last.substr(std::min(last.size(), last.find('\t') + 1));
        } else {
            rows = CountRows(file, last) - format.headerRows;
        }
        Check(status == 0 && rows == scans,
              std::string(format.file) + " holds a row per scan (" + std::to_string(rows) + ")");
        Check(isLastScan(last, format.separator),
              std::string(format.file) + ": the last scan is the card's signal: " + last.substr(0, 60) + "...");
        fs::remove_all(folder, ignored);
    }
    std::printf("peak memory: the program %ld MiB\n", programPeak);
    return failed ? 1 : 0;
}
