#include "kro/devices/all_devices_ai.h"
#include "kro/devices/all_devices_dio.h"
#include "kro/devices/device_registry.h"
#include "kro/devices/sim_backend.h"
#include "kro/devices/sim_catalogue.h"
#include <gtest/gtest.h>
#include <stdexcept>

namespace kro {
namespace {

// A device chooser answered from a list.
class ScriptedChooser final : public ondrel::IDevicePrompts {
public:
    std::vector<std::vector<ondrel::DeviceEntry>> offered;
    std::vector<int32_t> answers;
    std::vector<std::string> messages;

    void MsgBox(const std::string& text, const std::string&) override { messages.push_back(text); }
    std::optional<int32_t> ChooseDevice(const std::string&, const std::vector<ondrel::DeviceEntry>& devices,
                                        int32_t) override
    {
        offered.push_back(devices);
        if (answers.empty())
            return std::nullopt;
        const int32_t answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    std::optional<ondrel::SerialDeviceChoice> AskSerialDevice(const std::vector<std::string>&) override
    {
        return std::nullopt;
    }
};

class FakeDIO final : public ondrel::IKroDIO {
public:
    FakeDIO(int32_t number, std::string name, int* open) : number_(number), name_(std::move(name)), open_(open)
    {
        ++*open_;
    }
    ~FakeDIO() override { --*open_; }
    int32_t DeviceNumber() const override { return number_; }
    std::string DeviceName() const override { return name_; }
    int32_t PortCount() const override { return 2; }
    void SelectDevice() override {}
    bool ReadPorts(std::vector<uint8_t>& bytes, int32_t&, int32_t& portCount) override
    {
        bytes.assign(static_cast<size_t>(portCount), 0xA5);
        return true;
    }
    std::string ErrorMessage() const override { return {}; }

private:
    int32_t number_;
    std::string name_;
    int* open_;
};

// A back end of three numbers: a logic analyser, an oscilloscope that cannot
// be opened, and the row that sets up the analyser.
class FakeBackend final : public IDeviceBackend {
public:
    FakeBackend(std::string prefix, bool starts) : prefix_(std::move(prefix)), starts_(starts) {}
    int openDevices = 0;

    std::string name() const override { return prefix_; }
    void start(int32_t firstNumber) override
    {
        if (!starts_)
            throw std::runtime_error("libfake.so.1: cannot open shared object file");
        first_ = firstNumber;
    }
    int32_t numberCount() const override { return 3; }
    std::vector<ondrel::DeviceEntry> entries(DeviceKind kind) override
    {
        if (kind == DeviceKind::DigitalInput)
            return {{first_, prefix_ + " logic"}};
        if (kind == DeviceKind::AnalogInput)
            return {{first_ + 1, prefix_ + " scope"}};
        return {};
    }
    ondrel::DeviceCapabilities capabilities(int32_t) override { return {.cardFamilyRules = false}; }
    std::vector<ondrel::DeviceEntry> setUpRows(DeviceKind) override
    {
        return {{first_ + 2, "Add fake device...", true}};
    }
    std::optional<int32_t> setUp(int32_t row, DeviceKind, ondrel::IDevicePrompts& prompts) override
    {
        prompts.MsgBox("set up by row " + std::to_string(row), "");
        return first_;
    }
    std::unique_ptr<AiSlot> makeAI() override
    {
        struct Unplugged final : AiSlot {
            ondrel::IKroAI* device() override { return nullptr; }
            void select(int32_t number) override
            {
                if (number >= 0)
                    throw ondrel::ComponentError("the scope is unplugged");
            }
        };
        return std::make_unique<Unplugged>();
    }
    std::unique_ptr<DioSlot> makeDIO() override
    {
        struct Logic final : DioSlot {
            FakeBackend* backend;
            std::unique_ptr<FakeDIO> made;
            ondrel::IKroDIO* device() override { return made.get(); }
            void select(int32_t number) override
            {
                made.reset();
                if (number == backend->first_)
                    made = std::make_unique<FakeDIO>(number, backend->prefix_ + " logic", &backend->openDevices);
                else if (number >= 0)
                    throw ondrel::ComponentError("no such logic device");
            }
        };
        auto slot = std::make_unique<Logic>();
        slot->backend = this;
        return slot;
    }
    std::unique_ptr<ThermoSlot> makeThermo() override { return nullptr; }

private:
    std::string prefix_;
    bool starts_;
    int32_t first_ = -1;
};

struct Registry {
    std::vector<std::string> reports;
    FakeBackend* fake = nullptr;
    std::unique_ptr<DeviceRegistry> registry;

    Registry()
    {
        std::vector<std::unique_ptr<IDeviceBackend>> backends;
        backends.push_back(std::make_unique<SimBackend>());
        backends.push_back(std::make_unique<FakeBackend>("Broken", false));
        auto made = std::make_unique<FakeBackend>("Fake", true);
        fake = made.get();
        backends.push_back(std::move(made));
        registry = std::make_unique<DeviceRegistry>(std::move(backends),
                                                    [this](const std::string& m) { reports.push_back(m); });
    }
};

TEST(DeviceRegistry, ABackEndThatCannotStartIsReportedOnceAndLeftOutTheOthersNumberedAfterTheCards)
{
    Registry r;
    ASSERT_EQ(r.reports.size(), 1u);
    EXPECT_NE(r.reports[0].find("Broken"), std::string::npos) << r.reports[0];
    EXPECT_NE(r.reports[0].find("libfake.so.1"), std::string::npos) << r.reports[0];
    ASSERT_EQ(r.registry->size(), 2u);

    // Seven simulated analog cards take 0 .. 6; the fake's devices follow.
    const auto lines = deviceLines(*r.registry);
    const std::vector<std::string> fakeLines{"8\tAI\tFake scope", "7\tDI\tFake logic"};
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()), fakeLines);
    EXPECT_EQ(lines.front(), "0\tAI\t" + aiCatalogue()[0].name);
    EXPECT_EQ(r.registry->owner(6), 0u);
    EXPECT_EQ(r.registry->owner(9), 1u);
    EXPECT_FALSE(r.registry->owner(10));
}

TEST(AllDevices, TheChooserOffersTheCardsThenEachBackEndsDevicesThenTheirSetUpRows)
{
    Registry r;
    ScriptedChooser chooser;
    AllDevicesDIO dio(*r.registry, &chooser);
    EXPECT_EQ(dio.DeviceNumber(), card::Di3Ports);

    chooser.answers = {7};
    dio.SelectDevice();
    ASSERT_EQ(chooser.offered.size(), 1u);
    const auto& rows = chooser.offered[0];
    ASSERT_EQ(rows.size(), dioCatalogue().size() + 2);
    EXPECT_EQ(rows[0].name, dioCatalogue()[0].name);
    EXPECT_EQ(rows[rows.size() - 2].name, "Fake logic");
    EXPECT_TRUE(rows.back().action);
    EXPECT_EQ(dio.DeviceName(), "Fake logic");
    EXPECT_EQ(dio.PortCount(), 2);
    // The back end said its devices follow no card rule.
    EXPECT_FALSE(ondrel::DeviceDirectory::instance().capabilitiesOf("Fake logic").cardFamilyRules);

    // Back to a card: the fake's device is closed.
    dio.SelectDeviceNumber(card::Di3Ports);
    EXPECT_EQ(r.fake->openDevices, 0);
    EXPECT_EQ(dio.DeviceName(), dioCatalogue()[card::Di3Ports].name);

    // The set-up row runs its back end's set-up, which selects what it set up.
    chooser.answers = {rows.back().number};
    dio.SelectDevice();
    ASSERT_EQ(chooser.messages.size(), 1u);
    EXPECT_EQ(chooser.messages[0], "set up by row 9");
    EXPECT_EQ(dio.DeviceName(), "Fake logic");
    EXPECT_EQ(r.fake->openDevices, 1);

    EXPECT_THROW(dio.SelectDeviceNumber(10), ondrel::ComponentError);
    EXPECT_EQ(dio.ErrorMessage(), "There is no digital input device number 10");
    EXPECT_EQ(dio.DeviceName(), "Fake logic");
}

TEST(AllDevices, ADeviceThatCannotBeOpenedLeavesTheCardSelected)
{
    Registry r;
    AllDevicesAI ai(*r.registry, nullptr);
    ai.SelectDeviceNumber(card::Basic);
    EXPECT_THROW(ai.SelectDeviceNumber(8), ondrel::ComponentError);
    EXPECT_EQ(ai.ErrorMessage(), "the scope is unplugged");
    EXPECT_EQ(ai.DeviceNumber(), card::Basic);
    EXPECT_EQ(ai.DeviceName(), aiCatalogue()[card::Basic].name);
}

} // namespace
} // namespace kro
