// What the libsigrok back end costs, on the demo driver (offscreen):
//
//   sigrok_bench bare SECONDS RATE CHANNELS      the driver into a callback that
//                                                only counts: the driver's own cost
//   sigrok_bench backend SECONDS RATE CHANNELS   the back end's buffered run, cyclic,
//                                                into a sink that takes each half
//   sigrok_bench program SECONDS RATE CHANNELS   the main window recording and
//                                                drawing a buffered run
//
// RATE is the aggregate over CHANNELS analog channels (A0 ..), as the program
// sets it; the logic channels run too, as in the back end's runs. Each line
// gives samples delivered per second and the CPU used, in % of one core. The
// back end's own cost is `backend` minus `bare` at the same rate.
#include "cpu_time.h"
#include "support/frm_main_probe.h"
#include "run_for.h"
#include "kro/devices/all_devices_ai.h"
#include "kro/devices/sigrok/sigrok_ai.h"
#include "kro/devices/sigrok/sigrok_device.h"
#include "support/recorded_prompts.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/common/clock.h"
#include "ondrel/window/frm_main.h"
#include "ondrel/window/program_components.h"
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <libsigrok/libsigrok.h>
#include <string>
#include <thread>

namespace {

using namespace ondrel;

struct Figures {
    double seconds = 0;
    double rate = 0;
    int channels = 0;
};

int32_t DemoNumber()
{
    for (const auto& e : kro::DeviceRegistry::standard().entries(kro::DeviceKind::AnalogInput))
        if (e.name == "sigrok: Demo device")
            return e.number;
    std::fprintf(stderr, "libsigrok's demo driver found no device\n");
    std::exit(1);
}

// The demo straight from libsigrok, in a process of its own (one libsigrok
// context per process).
void MeasureBare(const Figures& f)
{
    sr_context* context = nullptr;
    sr_init(&context);
    sr_dev_driver* demo = nullptr;
    for (sr_dev_driver** d = sr_driver_list(context); *d != nullptr; ++d)
        if (std::strcmp((*d)->name, "demo") == 0)
            demo = *d;
    sr_driver_init(context, demo);
    GSList* found = sr_driver_scan(demo, nullptr);
    auto* device = static_cast<sr_dev_inst*>(found->data);
    sr_dev_open(device);
    int analog = 0;
    for (GSList* l = sr_dev_inst_channels_get(device); l != nullptr; l = l->next) {
        auto* ch = static_cast<sr_channel*>(l->data);
        if (ch->type == SR_CHANNEL_ANALOG)
            sr_dev_channel_enable(ch, analog++ < f.channels);
    }
    sr_config_set(device, nullptr, SR_CONF_SAMPLERATE,
                  g_variant_new_uint64(static_cast<uint64_t>(f.rate / f.channels)));
    static std::atomic<uint64_t> samples{0};
    sr_session* session = nullptr;
    sr_session_new(context, &session);
    sr_session_dev_add(session, device);
    sr_session_datafeed_callback_add(
        session,
        [](const sr_dev_inst*, const sr_datafeed_packet* p, void*) {
            if (p->type == SR_DF_ANALOG)
                samples += static_cast<const sr_datafeed_analog*>(p->payload)->num_samples;
        },
        nullptr);
    const double cpuBefore = CpuSeconds();
    sr_session_start(session);
    std::thread runner([session] { sr_session_run(session); });
    std::this_thread::sleep_for(std::chrono::duration<double>(f.seconds));
    sr_session_stop(session);
    runner.join();
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("bare    %.0f S/s over %d channels: %.3g S/s delivered, CPU %.1f %% of one core\n", f.rate, f.channels,
                static_cast<double>(samples.load()) / f.seconds, 100.0 * cpu / f.seconds);
    sr_session_destroy(session);
    sr_exit(context);
}

class CountingSink final : public IKroAIEvents {
public:
    double samples = 0;
    std::string failure;
    void FirstBufferChange(std::span<const int16_t>, std::span<const float> s, int32_t) override { take(s); }
    void BufferChange(std::span<const int16_t>, std::span<const float> s, int32_t) override { take(s); }
    void DeviceFailure(const std::string& description) override { failure = description; }

private:
    void take(std::span<const float> s)
    {
        volatile float sum = 0; // touch the data, as any consumer would
        for (const float v : s)
            sum = sum + v;
        samples += static_cast<double>(s.size());
    }
};

// A fifth of a second per buffer (ten halves a second), within what a run takes.
int32_t BufferFor(double rate)
{
    return std::min(kro::SigrokAI::kMaxBufferSamples, std::max(4096, static_cast<int32_t>(rate / 5) / 32 * 32));
}

void MeasureBackend(const Figures& f)
{
    testing::RecordedPrompts prompts;
    kro::AllDevicesAI ai(kro::DeviceRegistry::standard(), &prompts);
    ai.SelectDeviceNumber(DemoNumber());
    CountingSink sink;
    ai.setEvents(&sink);
    ai.setChanCount(f.channels);
    ai.setSampleRate(f.rate);
    int32_t count = BufferFor(f.rate);
    bool cyclic = true;
    const double cpuBefore = CpuSeconds();
    ai.StartFAI(count, cyclic);
    RunFor(f.seconds, [&] { return !sink.failure.empty(); });
    ai.StopFAI(0);
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("backend %.0f S/s over %d channels: %s, %.3g S/s delivered, CPU %.1f %% of one core\n", f.rate,
                f.channels, sink.failure.empty() ? "no overrun" : sink.failure.c_str(), sink.samples / f.seconds,
                100.0 * cpu / f.seconds);
}

// The program's components with the demo instrument as the AI device.
class DemoComponents final : public IComponentFactory {
public:
    std::unique_ptr<IKroAI> CreateAI(IPrompts& prompts) override
    {
        auto made = std::make_unique<kro::AllDevicesAI>(kro::DeviceRegistry::standard(), &prompts);
        made->SelectDeviceNumber(DemoNumber());
        return made;
    }
    std::unique_ptr<IKroDIO> CreateDIO(IPrompts& prompts) override { return display.CreateDIO(prompts); }
    std::unique_ptr<IKroThermo> CreateThermo() override { return display.CreateThermo(); }
    IKroGraph* CreateGraph(QWidget* parent) override { return display.CreateGraph(parent); }
    IKroButton* CreateButton(QWidget* parent) override { return display.CreateButton(parent); }
    IKroLED* CreateLED(QWidget* parent) override { return display.CreateLED(parent); }
    IKroSlider* CreateSlider(QWidget* parent) override { return display.CreateSlider(parent); }
    std::unique_ptr<ITimerControl> CreateTimer() override { return display.CreateTimer(); }

private:
    ProgramComponents display;
};

void MeasureProgram(const Figures& f)
{
    DemoComponents components;
    testing::RecordedPrompts prompts;
    MonotonicClock clock;
    FrmMain form(components, prompts, clock);
    form.show();
    testing::Inside(form).KroAI1().setChanCount(f.channels);
    testing::Inside(form).KroAI1().setSampleRate(f.rate);
    testing::Inside(form).setup().bSoftMode = false;
    testing::Inside(form).setup().bFAICyclic = true;
    testing::Inside(form).setup().nAISampleCnt = BufferFor(f.rate);
    testing::Inside(form).plots().SetupPlots(false, true);
    testing::Inside(form).KroButton1().setValue(true);
    testing::Inside(form).run().KroButton1_SwitchChanged();
    form.findChild<QCheckBox*>("CkAISave2Disk")->setChecked(true);
    testing::Inside(form).run().CkAISave2Disk_Click(true);

    const double cpuBefore = CpuSeconds();
    testing::Inside(form).run().BtnStart_Click();
    RunFor(f.seconds, [&] { return !testing::Inside(form).run().status().isSystemRunning; });
    const bool survived = testing::Inside(form).run().status().isSystemRunning;
    if (survived)
        testing::Inside(form).run().BtnStart_Click();
    const double cpu = CpuSeconds() - cpuBefore;
    const double samples =
        static_cast<double>(std::filesystem::file_size(testing::Inside(form).files()->FAIFileName())) / 4.0;
    std::printf("program %.0f S/s over %d channels: %s, %.3g S/s recorded, CPU %.1f %% of one core%s%s\n", f.rate,
                f.channels, survived ? "no overrun" : "STOPPED", samples / f.seconds, 100.0 * cpu / f.seconds,
                prompts.messages.empty() ? "" : ", message: ",
                prompts.messages.empty() ? "" : prompts.messages.front().text.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string mode = argc > 1 ? argv[1] : "";
    Figures f;
    f.seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    f.rate = argc > 3 ? std::atof(argv[3]) : 1e6;
    f.channels = argc > 4 ? std::atoi(argv[4]) : 4;
    if (f.seconds <= 0 || f.rate < 1 || f.channels < 1 || f.channels > 4) {
        std::fprintf(stderr, "usage: %s bare|backend|program SECONDS RATE CHANNELS(1-4)\n", argv[0]);
        return 2;
    }
    if (mode == "bare") {
        MeasureBare(f);
        return 0;
    }
    QApplication app(argc, argv);
    if (mode == "backend")
        MeasureBackend(f);
    else if (mode == "program")
        MeasureProgram(f);
    else {
        std::fprintf(stderr, "usage: %s bare|backend|program SECONDS RATE CHANNELS(1-4)\n", argv[0]);
        return 2;
    }
    return 0;
}
