#pragma once
#include "support/recorded_prompts.h"
#include "support/frm_main_probe.h"
#include "support/test_components.h"
#include "support/wait_for.h"
#include "kro/devices/sim_signal.h"
#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/window/frm_main.h"
#include <QCheckBox>
#include <QPushButton>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace ondrel::testing {

// A main window on simulated cards, driven the way an operator would.
class WindowTest : public ::testing::Test {
protected:
    TestComponents components;
    RecordedPrompts prompts;
    ManualClock clock{1000};
    std::unique_ptr<FrmMain> form;

    void Open() { form = std::make_unique<FrmMain>(components, prompts, clock); }
    AcquisitionSetup& state() { return Inside(*form).setup(); }

    void FlipAI(bool on)
    {
        Inside(*form).KroButton1().setValue(on);
        Inside(*form).run().KroButton1_SwitchChanged();
    }
    void FlipDI(bool on)
    {
        Inside(*form).KroButton2().setValue(on);
        Inside(*form).run().KroButton2_SwitchChanged();
    }
    void Tick(const char* box)
    {
        auto* check = form->findChild<QCheckBox*>(box);
        check->setChecked(true);
        emit check->clicked(true);
    }
    // Ports 0 and 1 polled, lines 0 and 2 of port 0 and line 7 of port 1 shown.
    void SelectDILines()
    {
        Inside(*form).setup().nDIPortMask = {0x05, 0x80, 0x00, 0x00};
        state().nDIChanCount = 3;
        state().nDIPortStart = 0;
        state().nDIPortCount = 2;
        Inside(*form).plots().SetupPlots(false, true);
    }
    QString StartCaption() { return form->findChild<QPushButton*>("BtnStart")->text(); }
    bool Enabled(const char* name) { return form->findChild<QWidget*>(name)->isEnabled(); }

    static std::vector<std::byte> FileBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::byte> bytes(chars.size());
        std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return std::byte(c); });
        return bytes;
    }
    template <typename T>
    static std::vector<T> FileValues(const std::string& path)
    {
        const auto bytes = FileBytes(path);
        std::vector<T> values(bytes.size() / sizeof(T));
        if (!values.empty()) // an empty vector's data() may be null, which memcpy must not see
            std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
        return values;
    }
    ProjectDescription Description()
    {
        return ParseProjectDescription(FileBytes(Inside(*form).files()->ProjectFileName()));
    }

    std::vector<kro::SimRange> ChannelRanges()
    {
        std::vector<kro::SimRange> ranges;
        for (int32_t ch = 0; ch < components.ai->MaxChanCount(); ++ch) {
            kro::SimRange r;
            components.ai->GetChannelRange(ch, r.low, r.high, r.code);
            ranges.push_back(r);
        }
        return ranges;
    }
};

} // namespace ondrel::testing
