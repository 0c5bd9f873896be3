// The session the export writes with libzip, against the one libsigrok's own
// writer (its srzip output module, fed through a user device) makes of the
// same samples: sigrok-cli must see the same device, channels and values in
// both.
#include "common/scratch_folder.h"
#include "support/project_files.h"
#include "ondrel/export/project_export.h"
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <libsigrok/libsigrok.h>
#include <memory>
#include <string>
#include <vector>

namespace ondrel {
namespace {

constexpr int kScans = 1000;
constexpr int kAnalog = 3;
constexpr int kPorts = 2;
constexpr uint8_t kShown[kPorts] = {0x81, 0x06};

// What sigrok-cli prints for `session` with `arguments`.
std::string SigrokCli(const std::string& session, const std::string& arguments)
{
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        ::popen(("sigrok-cli -i " + session + " " + arguments + " 2>/dev/null").c_str(), "r"), ::pclose);
    char buffer[4096];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr)
        output += buffer;
    return output;
}

// Sends one packet of `type` to `output`.
void Send(const sr_output* output, uint16_t type, const void* payload)
{
    sr_datafeed_packet packet{};
    packet.type = type;
    packet.payload = payload;
    GString* ignored = nullptr;
    ASSERT_EQ(sr_output_send(output, &packet, &ignored), SR_OK);
    if (ignored != nullptr)
        g_string_free(ignored, TRUE);
}

// The samples as libsigrok's own writer stores them: logic channels 0..15
// (only the lines shown on, named "port:bit"), then the analog channels.
void WriteWithLibsigrok(const std::string& file, const std::vector<float>& analog, const std::vector<uint8_t>& ports,
                        const std::vector<std::string>& names)
{
    sr_context* context = nullptr;
    ASSERT_EQ(sr_init(&context), SR_OK);
    sr_dev_inst* device = sr_dev_inst_user_new("Ondrel", "export", "1");
    for (int line = 0; line < 8 * kPorts; ++line) {
        const bool shown = (kShown[line / 8] >> (line % 8)) & 1;
        const std::string name =
            shown ? std::to_string(line / 8) + ":" + std::to_string(line % 8) : std::to_string(line);
        sr_dev_inst_channel_add(device, line, SR_CHANNEL_LOGIC, name.c_str());
    }
    for (int c = 0; c < kAnalog; ++c)
        sr_dev_inst_channel_add(device, 8 * kPorts + c, SR_CHANNEL_ANALOG, names[static_cast<size_t>(c)].c_str());
    std::vector<sr_channel*> channels;
    for (GSList* l = sr_dev_inst_channels_get(device); l != nullptr; l = l->next) {
        auto* channel = static_cast<sr_channel*>(l->data);
        if (channel->type == SR_CHANNEL_LOGIC && !((kShown[channel->index / 8] >> (channel->index % 8)) & 1))
            sr_dev_channel_enable(channel, FALSE);
        channels.push_back(channel);
    }
    const sr_output* output = sr_output_new(sr_output_find(const_cast<char*>("srzip")), nullptr, device, file.c_str());
    ASSERT_NE(output, nullptr);

    sr_config rate{SR_CONF_SAMPLERATE, g_variant_ref_sink(g_variant_new_uint64(1000))};
    sr_datafeed_meta meta{g_slist_append(nullptr, &rate)};
    Send(output, SR_DF_META, &meta);
    sr_datafeed_logic logic{ports.size(), kPorts, const_cast<uint8_t*>(ports.data())};
    Send(output, SR_DF_LOGIC, &logic);
    for (int c = 0; c < kAnalog; ++c) {
        std::vector<float> samples;
        for (int s = 0; s < kScans; ++s)
            samples.push_back(analog[static_cast<size_t>(s * kAnalog + c)]);
        sr_analog_encoding encoding{};
        encoding.unitsize = 4;
        encoding.is_signed = TRUE;
        encoding.is_float = TRUE;
        encoding.digits = 2;
        sr_rational_set(&encoding.scale, 1, 1);
        sr_rational_set(&encoding.offset, 0, 1);
        sr_analog_meaning meaning{};
        meaning.mq = SR_MQ_VOLTAGE;
        meaning.unit = SR_UNIT_VOLT;
        meaning.mqflags = SR_MQFLAG_DC;
        meaning.channels = g_slist_append(nullptr, channels[static_cast<size_t>(8 * kPorts + c)]);
        sr_analog_spec spec{2};
        sr_datafeed_analog packet{samples.data(), kScans, &encoding, &meaning, &spec};
        Send(output, SR_DF_ANALOG, &packet);
        g_slist_free(meaning.channels);
    }
    sr_output_free(output);
    g_slist_free(meta.config);
    g_variant_unref(rate.data);
    sr_exit(context);
}

TEST(SigrokSession, SigrokCliSeesWhatLibsigroksOwnWriterWouldHaveWritten)
{
    ScratchFolder folder;
    std::vector<float> analog;
    for (int i = 0; i < kScans * kAnalog; ++i)
        analog.push_back(static_cast<float>((i * 7919) % 2001 - 1000) / 97.0f);
    std::vector<uint8_t> ports;
    for (int i = 0; i < kScans * kPorts; ++i)
        ports.push_back(static_cast<uint8_t>(i * 37 + (i >> 5)));
    const std::vector<std::string> names = {"Temp\xC3\xA9rature", "a,\"b\"", "Druck [bar]"};

    testing::IndexSpec spec;
    spec.aiChans = kAnalog;
    spec.aiNames = {"Temp\xE9rature", "a,\"b\"", "Druck [bar]"};
    spec.di = true;
    spec.diChans = 4;
    spec.portMasks = {kShown[0], kShown[1]};
    spec.scanCount = kScans;
    spec.scanInterval = 0.001;
    spec.paths = std::pair{folder / "AI.ond", folder / "DI.ond"};
    testing::WriteFile(folder / "Project.onp", testing::IndexBytes(spec).bytes());
    ExpectedBytes ai;
    for (float value : analog)
        ai.f32(value);
    testing::WriteFile(folder / "AI.ond", ai.bytes());
    testing::WriteFile(folder / "DI.ond", testing::DIData(0, kPorts, ports));
    ASSERT_EQ(ExportProject({folder / "Project.onp", folder / "out", true, true, '.', ExportFormat::SigrokSession}, {}),
              ExportOutcome::Written);
    WriteWithLibsigrok(folder / "libsigrok.sr", analog, ports, names);

    const std::string ours = folder / "out/recording.sr";
    const std::string theirs = folder / "libsigrok.sr";
    for (const char* arguments : {"--show", "-O analog", "-O bits:width=0"}) {
        SCOPED_TRACE(arguments);
        const std::string expected = SigrokCli(theirs, arguments);
        EXPECT_GT(expected.size(), 100u);
        EXPECT_EQ(SigrokCli(ours, arguments), expected);
    }
}

} // namespace
} // namespace ondrel
