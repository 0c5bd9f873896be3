// What a host that knows only the class identifier sees: the library loaded
// by kom from beside the program, late binding, events, persistence, the
// property page in a frame, and the design-time tool.
#include "isolated_registry.h"
#include "kom/client.h"
#include "kom/module.h"
#include "kom/page_frame.h"
#include "support.h"
#include "tickwell/tickwell_ids.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace kom;
using namespace tickwell;

namespace {

struct Host : ::testing::Test {
    void SetUp() override
    {
        komtest::clearRegistry();
        ASSERT_EQ(Control::create(CLSID_TickwellCtl, timer), S_OK);
    }
    Control timer;
};

std::string tool(const std::string& args, int* status)
{
    std::string cmd = executableDir() + "/tickwell-frame " + args + " 2>&1";
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    char buf[512];
    while (p && std::fgets(buf, sizeof buf, p))
        out += buf;
    *status = p ? ::pclose(p) : -1;
    return out;
}

std::string tempFile(const char* name)
{
    return (std::filesystem::path(komtest::registryPath()).parent_path() / name).string();
}

} // namespace

TEST_F(Host, AddsKeysGetsTimerEventsAtTheirIntervals)
{
    ASSERT_EQ(timer.load(EmptyState), S_OK);
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> soft, history;
    Connection events = timer.connect(DIID_ITickwellCtlEvents, [&](DISPID id, std::span<const Variant> a) {
        ASSERT_EQ(id, DISPID_TimerEvent);
        (a[0].utf8() == "SoftPoolTimer" ? soft : history).push_back(Clock::now());
    });
    ASSERT_TRUE(events);
    Variant there;
    ASSERT_EQ(timer.get(DISPID_exist, {u"SoftPoolTimer"}, there), S_OK);
    ASSERT_EQ(there.int32Or(-1), 0);
    EXPECT_EQ(timer.call(DISPID_Add, {u"SoftPoolTimer", 10, 0}), S_OK);
    EXPECT_EQ(timer.call(DISPID_Add, {u"HistoryTimer", 50, 0}), S_OK);
    EXPECT_EQ(timer.put(DISPID_Interval, {u"SoftPoolTimer", 20}), S_OK);
    EXPECT_EQ(timer.put(DISPID_Enabled, {u"SoftPoolTimer", -1}), S_OK);
    EXPECT_EQ(timer.put(DISPID_Enabled, {u"HistoryTimer", -1}), S_OK);
    twtest::pumpUntil([&] { return history.size() >= 8; }, 5000);
    timer.put(DISPID_Enabled, {u"SoftPoolTimer", 0});
    timer.put(DISPID_Enabled, {u"HistoryTimer", 0});
    ASSERT_GE(soft.size(), 15u);
    ASSERT_GE(history.size(), 8u);
    auto mean = [](const std::vector<Clock::time_point>& t) {
        return std::chrono::duration<double, std::milli>(t.back() - t.front()).count() / double(t.size() - 1);
    };
    // Missed periods are never made up, so the mean period is never shorter
    // than the interval; the upper bound only catches a wrong unit (the
    // benchmark measures precision).
    EXPECT_GE(mean(soft), 19.0);
    EXPECT_LT(mean(soft), 60.0);
    EXPECT_GE(mean(history), 49.0);
    EXPECT_LT(mean(history), 150.0);
}

TEST_F(Host, SavesAndReloadsTheState)
{
    timer.call(DISPID_RemoveALL);
    timer.call(DISPID_Add, {u"SoftPoolTimer", 100, 0});
    timer.call(DISPID_Add, {u"HistoryTimer", 33, 0});
    std::vector<uint8_t> bytes;
    ASSERT_EQ(timer.save(bytes), S_OK);
    Control again;
    ASSERT_EQ(Control::create(CLSID_TickwellCtl, again), S_OK);
    ASSERT_EQ(again.load(bytes), S_OK);
    Variant v;
    again.get(DISPID_Count, {}, v);
    EXPECT_EQ(v.int32Or(0), 2);
    again.get(DISPID_Interval, {u"HistoryTimer"}, v);
    EXPECT_EQ(v.int32Or(0), 33);
    again.get(DISPID_exist, {u"timer 0"}, v);
    EXPECT_EQ(v.int32Or(1), 0);
}

TEST_F(Host, EditsTheStateInThePropertyPage)
{
    Control design;
    ASSERT_EQ(Control::create(CLSID_TickwellCtl, design, ControlOptions{false}), S_OK);
    PropertyFrame frame(nullptr, "test", {ComPtr<IUnknown>(design.object())});
    ASSERT_EQ(frame.addPagesOf(design.object()), S_OK);
    ASSERT_EQ(frame.pageCount(), 1u);
    auto* list = frame.findChild<QTreeWidget*>("lstTimers");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->topLevelItemCount(), 10);
    EXPECT_FALSE(frame.applyButton()->isEnabled());
    frame.findChild<QLineEdit*>("txtKey")->setText("SoftPoolTimer");
    frame.findChild<QLineEdit*>("txtInterval")->setText("100");
    frame.findChild<QCheckBox*>("chkEnabled")->setChecked(true);
    frame.findChild<QPushButton*>("btnAdd")->click();
    EXPECT_EQ(frame.lastStatus(0), PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE);
    EXPECT_TRUE(frame.applyButton()->isEnabled());
    frame.applyButton()->click();
    EXPECT_FALSE(frame.applyButton()->isEnabled());
    Variant v;
    design.get(DISPID_Count, {}, v);
    EXPECT_EQ(v.int32Or(0), 11);
    design.get(DISPID_Enabled, {u"SoftPoolTimer"}, v);
    EXPECT_EQ(v.int32Or(0), 1);
    EXPECT_EQ(design.isDirty(), S_OK);
}

TEST(Tool, ListsPrintsAndRunsAState)
{
    komtest::clearRegistry();
    const std::string path = tempFile("tool.state");
    {
        Control c;
        ASSERT_EQ(Control::create(CLSID_TickwellCtl, c, ControlOptions{false}), S_OK);
        c.call(DISPID_RemoveALL);
        c.call(DISPID_Add, {u"fast", 2, -1});
        c.call(DISPID_Add, {u"caf\u00e9", 20, 1});
        c.call(DISPID_Add, {u"off", 5, 0});
        std::vector<uint8_t> bytes;
        ASSERT_EQ(c.save(bytes), S_OK);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    int status = 0;
    EXPECT_EQ(tool("--list " + path, &status), "fast\t-1\t2\ncaf\xc3\xa9\t1\t20\noff\t0\t5\n");
    EXPECT_EQ(status, 0);

    std::string out = tool("--run 300 " + path, &status);
    EXPECT_EQ(status, 0) << out;
    std::istringstream lines(out);
    std::string line;
    std::vector<std::vector<std::string>> rows;
    while (std::getline(lines, line)) {
        std::vector<std::string> cols;
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, '\t'))
            cols.push_back(cell);
        rows.push_back(cols);
    }
    ASSERT_EQ(rows.size(), 3u) << out;
    ASSERT_EQ(rows[0].size(), 6u);
    EXPECT_EQ(rows[0][0], "fast");
    EXPECT_GT(std::stoi(rows[0][1]), 10);
    EXPECT_EQ(rows[2][0], "off");
    EXPECT_EQ(rows[2][1], "0");
    EXPECT_EQ(rows[2][2], "-");

    // Damaged files: cut short, and trailing bytes.
    std::vector<char> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string cut = tempFile("cut.state");
    std::ofstream(cut, std::ios::binary).write(bytes.data(), 11);
    out = tool("--list " + cut, &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("damaged timer state"), std::string::npos) << out;
    EXPECT_NE(out.find("entry 1 of 3"), std::string::npos) << out;
    std::ofstream(path, std::ios::binary | std::ios::app).write("xx", 2);
    out = tool("--list " + path, &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("2 unexpected bytes"), std::string::npos) << out;
    out = tool("--list " + tempFile("missing.state"), &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("no such file"), std::string::npos);
    out = tool("--run soon " + path, &status);
    EXPECT_NE(status, 0);
}
