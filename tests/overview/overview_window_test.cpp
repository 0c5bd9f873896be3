#include "overview/recording_fixture.h"
#include "window/window_fixture.h"
#include "common/scoped_env.h"
#include "kro/display/kro_slider.h"
#include "ondrel/overview/summary_cache.h"
#include "ondrel/window/overview_canvas.h"
#include "ondrel/window/overview_window.h"
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QtTest/QTest>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel::testing {
namespace {

class OverviewWindowTest : public WindowTest {
protected:
    ScratchFolder cache;
    ScopedEnv cacheHome{"XDG_CACHE_HOME", cache.path().c_str()};
    Samples samples = Noise(20000, 2, 1);
    SavedRecording saved{samples, 0.001};

    QAction* Item()
    {
        QMenu* menu = Inside(*form).graphView().Menufile();
        emit menu->aboutToShow();
        return menu->findChild<QAction*>("mnuOverview");
    }
    OverviewWindow* Opened()
    {
        Item()->trigger();
        return form->findChild<OverviewWindow*>("frmOverview");
    }
    OverviewWindow* Built()
    {
        OverviewWindow* window = Opened();
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(waitFor([&] { return window->summary() != nullptr && window->summary()->Finished(); }));
        return window;
    }
};

TEST_F(OverviewWindowTest, TheMenuItemIsEnabledOnlyInHistoryMode)
{
    Open();
    ASSERT_NE(Item(), nullptr);
    EXPECT_FALSE(Item()->isEnabled());
    Item()->trigger(); // even when triggered some other way, nothing opens
    EXPECT_EQ(form->findChild<OverviewWindow*>("frmOverview"), nullptr);

    form->OpenProject(saved.Project());
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    EXPECT_TRUE(Item()->isEnabled());
    OverviewWindow* window = Opened();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());

    form->findChild<QPushButton*>("BtnModeSwitch")->click();
    EXPECT_FALSE(Item()->isEnabled());
    EXPECT_TRUE(waitFor([&] { return !window->isVisible(); })); // it goes with history mode
}

TEST_F(OverviewWindowTest, AClickAndEnterMoveReplayThroughThePositionSlidersJump)
{
    Open();
    form->OpenProject(saved.Project());
    OverviewWindow* window = Built();
    OverviewCanvas& canvas = window->canvas();
    canvas.resize(1000, 200);
    auto* slider = form->findChild<kro::KroSlider*>("KroSliderR");
    ASSERT_NE(slider, nullptr);

    QTest::mouseClick(&canvas, Qt::LeftButton, {}, QPoint(250, 50));
    const auto expected = static_cast<int64_t>(std::floor(canvas.scanAt(250)));
    EXPECT_EQ(Inside(*form).replayControl().PositionScan(), expected);
    // The slider moved there, and its jump put the AI file at that scan.
    EXPECT_DOUBLE_EQ(slider->Value(), 100.0 * static_cast<double>(expected) / 20000.0);
    EXPECT_EQ(Inside(*form).replay().nHisFAIReadPos, expected * 2 * 4);
    EXPECT_NEAR(Inside(*form).replayControl().state().nHisNextScan, expected, 0);

    canvas.setFocus();
    QTest::keyClick(&canvas, Qt::Key_Right);
    QTest::keyClick(&canvas, Qt::Key_Return);
    EXPECT_EQ(Inside(*form).replayControl().PositionScan(), static_cast<int64_t>(std::floor(canvas.cursor())));
    EXPECT_GT(Inside(*form).replayControl().PositionScan(), expected);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(OverviewWindowTest, ThePositionLineFollowsReplayWhereverItWasMoved)
{
    Open();
    form->OpenProject(saved.Project());
    OverviewWindow* window = Built();
    form->findChild<kro::KroSlider*>("KroSliderR")->setValue(75.0); // the operator's own jump
    EXPECT_TRUE(waitFor([&] { return window->canvas().position() == 15000; }));
    form->findChild<QPushButton*>("ChkPlay")->click(); // from the start
    EXPECT_TRUE(waitFor([&] {
        clock.Advance(50);
        return window->canvas().position() > 0 && window->canvas().position() < 15000;
    }));
    form->findChild<QPushButton*>("BtnStop")->click();
}

TEST_F(OverviewWindowTest, ZoomPanAndHomeByKeyAreAnnouncedAndTheSummaryComesFromTheCacheNextTime)
{
    Open();
    form->OpenProject(saved.Project());
    OverviewWindow* window = Built();
    EXPECT_FALSE(window->fromCache());
    OverviewCanvas& canvas = window->canvas();
    canvas.setFocus();
    QTest::keyClick(&canvas, Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(canvas.span().Zoom(), 2.0);
    EXPECT_TRUE(canvas.accessibleDescription().contains("zoom 2x")) << canvas.accessibleDescription().toStdString();
    QTest::keyClick(&canvas, Qt::Key_Right); // a hundredth of the 10 s shown
    EXPECT_TRUE(canvas.accessibleDescription().contains("cursor 0.10 s"))
        << canvas.accessibleDescription().toStdString();
    QTest::keyClick(&canvas, Qt::Key_PageDown);
    EXPECT_GT(canvas.span().First(), 0.0);
    QTest::keyClick(&canvas, Qt::Key_Home);
    EXPECT_DOUBLE_EQ(canvas.span().Zoom(), 1.0);
    EXPECT_EQ(window->findChild<QLabel*>("lblOverviewStatus")->text(), canvas.accessibleDescription());

    // The same recording opened again: its summary is read back, not built.
    form->OpenProject(saved.Project());
    window = Opened();
    EXPECT_TRUE(window->fromCache());
    EXPECT_FALSE(window->building());
}

TEST_F(OverviewWindowTest, EscapeDropsASelectionFirstAndThenClosesTheWindow)
{
    Open();
    form->OpenProject(saved.Project());
    OverviewWindow* window = Built();
    OverviewCanvas& canvas = window->canvas();
    canvas.setFocus();
    QTest::keyClick(&canvas, Qt::Key_Right, Qt::ShiftModifier); // a hundredth selected
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(&canvas, Qt::Key_Plus); // no selection left: zooms at the cursor
    EXPECT_DOUBLE_EQ(canvas.span().Zoom(), 2.0);
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(OverviewWindowTest, TheValuesInViewAreAnnouncedAndEachDILaneCarriesItsChartName)
{
    samples.ai[static_cast<size_t>(1234 * 2 + 1)] = 3.5f;    // channel 1
    samples.ai[static_cast<size_t>(15000 * 2 + 0)] = -2.25f; // channel 0, three quarters in
    saved.Write(samples);
    Open();
    form->OpenProject(saved.Project());
    OverviewWindow* window = Built();
    OverviewCanvas& canvas = window->canvas();
    // Announced as the window next looks at the finished summary.
    EXPECT_TRUE(waitFor([&] { return canvas.accessibleDescription().contains("values -2.25 to 3.5"); }))
        << canvas.accessibleDescription().toStdString();
    canvas.setFocus();
    QTest::keyClick(&canvas, Qt::Key_Plus); // the first half: the dip is out of view
    EXPECT_FALSE(canvas.accessibleDescription().contains("values -2.25"))
        << canvas.accessibleDescription().toStdString();
    EXPECT_TRUE(canvas.accessibleDescription().contains("to 3.5")) << canvas.accessibleDescription().toStdString();

    // Lines 0 to 3 of the port, after the two AI plots in the chart.
    IKroPlots& plots = Inside(*form).KroGraph1().Plots();
    ASSERT_EQ(canvas.lines().size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(canvas.lines()[static_cast<size_t>(k)].bit, k);
        EXPECT_EQ(canvas.lines()[static_cast<size_t>(k)].name.toStdString(), plots.Item(2 + k).Name());
    }
}

// The columns of `image` within rows [top, bottom) holding a pixel of `color`.
std::set<int> ColumnsWith(const QImage& image, const QColor& color, int top, int bottom)
{
    std::set<int> found;
    for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color)
                found.insert(x);
    return found;
}

// Where DI line `line` is drawn at a level its scans did not have, or "": in
// each column the upper half of its lane shows the line's colour exactly when
// the line was high in some of the column's scans, the lower half exactly
// when it was low in some; zoomed in past a scan a column, scan by scan.
std::string WrongLevel(const QImage& image, const OverviewCanvas& canvas, const Samples& samples, size_t line)
{
    const OverviewLine& di = canvas.lines()[line];
    const QRect lane = canvas.laneArea(line);
    const double first = canvas.span().First(), end = canvas.span().End();
    const int columns = canvas.width() - canvas.plotLeft();
    const bool scanwise = end - first < columns;
    const int64_t count = scanwise ? static_cast<int64_t>(end - first) : columns;
    auto shows = [&](int x, int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            if (image.pixelColor(x, y) == di.color)
                return true;
        return false;
    };
    for (int64_t i = 0; i < count; ++i) {
        int64_t from = static_cast<int64_t>(first) + i, to = from + 1;
        int x = static_cast<int>(std::floor(canvas.xOf(static_cast<double>(from) + 0.5)));
        if (!scanwise) {
            from = OverviewColumns::ColumnStart(first, end, columns, static_cast<int>(i));
            to = OverviewColumns::ColumnStart(first, end, columns, static_cast<int>(i) + 1);
            x = canvas.plotLeft() + static_cast<int>(i);
        }
        if (x == static_cast<int>(std::floor(canvas.xOf(0.0))))
            continue; // under the replay position's line
        const auto [always, ever] = samples.Levels(di.port, from, to);
        const bool wasHigh = (ever >> di.bit & 1u) != 0, wasLow = (always >> di.bit & 1u) == 0;
        const int middle = lane.top() + lane.height() / 2;
        if (shows(x, lane.top(), middle) != wasHigh
            || shows(x, middle + lane.height() % 2, lane.bottom() + 1) != wasLow)
            return "scans " + std::to_string(from) + " to " + std::to_string(to);
    }
    return "";
}

TEST_F(OverviewWindowTest, ASpikeOfOneSampleAndEachDILevelShowWhereTheyAreAtEveryZoomAndNoTraceCoversALabel)
{
    // Noise within [-1, 1] and DI lines that toggle at random, so that every
    // column of a lane holds both levels; one scan of channel 1 reaches 5.
    constexpr int64_t kSpike = 7001;
    samples.ai[static_cast<size_t>(kSpike * 2 + 1)] = 5.0f;
    saved.Write(samples);
    Open();
    form->OpenProject(saved.Project());
    OverviewCanvas& canvas = Built()->canvas();
    canvas.resize(1000, 320);
    ASSERT_EQ(canvas.channelColors().size(), 2u);
    ASSERT_EQ(canvas.lines().size(), 4u);
    const QColor spike = canvas.channelColors()[1];
    std::vector<QColor> traces = canvas.channelColors();
    for (const OverviewLine& line : canvas.lines())
        traces.push_back(line.color);
    const int gutter = canvas.plotLeft();
    ASSERT_GT(gutter, 0);

    // Whole, a few thousand scans, two hundred, and a few scans wide.
    const std::pair<double, double> views[] = {{0, 20000}, {5000, 9000}, {6900, 7100}, {6990, 7012}};
    for (const auto& [first, end] : views) {
        canvas.span().Show(first, end);
        canvas.refresh();
        const QImage image = canvas.grab().toImage();
        const std::string where = "showing scans " + std::to_string(first) + " to " + std::to_string(end);
        // The scale runs from about -1 to 5: the spike's channel reaches its
        // top quarter, and its highest row is where the spike is.
        int peak = 0;
        while (peak < image.height() / 4 && ColumnsWith(image, spike, peak, peak + 1).empty())
            ++peak;
        ASSERT_LT(peak, image.height() / 4) << where;
        const std::set<int> top = ColumnsWith(image, spike, peak, peak + 1);
        const auto at = static_cast<int>(std::floor(canvas.xOf(static_cast<double>(kSpike))));
        EXPECT_GE(*top.begin(), at - 1) << where;
        EXPECT_LE(*top.rbegin(), at + 1) << where;

        // No trace enters the gutter, and each lane's name stands there
        // beside its line, however densely the line toggles.
        for (const QColor& trace : traces) {
            const std::set<int> columns = ColumnsWith(image, trace, 0, image.height());
            ASSERT_FALSE(columns.empty()) << where;
            EXPECT_GE(*columns.begin(), gutter) << where << ": a trace in the gutter";
        }
        for (size_t line = 0; line < canvas.lines().size(); ++line) {
            const QRect lane = canvas.laneArea(line);
            int lettered = 0;
            for (int y = lane.top(); y <= lane.bottom(); ++y)
                for (int x = 0; x < gutter - 4; ++x)
                    lettered += image.pixelColor(x, y) != QColor(Qt::black) ? 1 : 0;
            EXPECT_GT(lettered, 10) << where << ": no name beside line " << line;
            EXPECT_EQ(WrongLevel(image, canvas, samples, line), "") << where << ": line " << line;
        }
    }
}

TEST_F(OverviewWindowTest, TwentyFourDILinesShareTheWindowWithTheAITracesAndEachShowsItsLevels)
{
    const Samples wide = Noise(20000, 2, 3);
    const SavedRecording recording(wide, 0.001, 0xFF); // three ports of eight lines
    Open();
    form->OpenProject(recording.Project());
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
    OverviewCanvas& canvas = Built()->canvas();
    ASSERT_EQ(canvas.lines().size(), 24u);
    for (const int height : {canvas.minimumHeight(), 240, 420}) {
        canvas.resize(900, height);
        canvas.refresh();
        const QImage image = canvas.grab().toImage();
        const std::string where = std::to_string(height) + " rows";
        // The AI traces keep rows of their own above the lanes, and every
        // lane lies within the picture, above the time axis.
        EXPECT_GE(canvas.laneArea(0).top(), 30) << where;
        EXPECT_LT(canvas.laneArea(23).bottom(), canvas.height() - 10) << where;
        EXPECT_FALSE(ColumnsWith(image, canvas.channelColors()[0], 0, canvas.laneArea(0).top()).empty()) << where;
        for (size_t line = 0; line < 24; ++line) {
            EXPECT_GE(canvas.laneArea(line).height(), 3) << where;
            EXPECT_EQ(WrongLevel(image, canvas, wide, line), "") << where << ": line " << line;
        }
    }
}

TEST_F(OverviewWindowTest, ADataFileCutShortUnderAnOpenOverviewIsReportedAndWhatIsLeftIsDrawn)
{
    Open();
    form->OpenProject(saved.Project());
    OverviewWindow* window = Built();
    OverviewCanvas& canvas = window->canvas();
    auto* status = window->findChild<QLabel*>("lblOverviewStatus");
    // The stick the recording is on fails: only the first 10 s of 20 are left.
    ASSERT_EQ(::truncate((saved.folder / "AI.ond").c_str(), 10000 * 2 * 4), 0);
    canvas.setFocus();
    auto show = [&](double first, double end) {
        canvas.span().Show(first, end); // few enough scans to be read from the file
        // A click there moves replay, and the window announces the view.
        QTest::mouseClick(&canvas, Qt::LeftButton, {}, QPoint((canvas.plotLeft() + canvas.width()) / 2, 20));
    };
    show(14990, 15010); // all of it past the end
    EXPECT_TRUE(status->text().contains("nothing is left of them from 14.990 s on")) << status->text().toStdString();
    EXPECT_TRUE(canvas.shownValues().Empty()); // nothing drawn where nothing is left
    show(9990, 10010);
    EXPECT_TRUE(status->text().contains("nothing is left of them from 10.000 s on")) << status->text().toStdString();
    EXPECT_FALSE(canvas.shownValues().Empty()); // what is left is drawn
    show(4990, 5010);
    EXPECT_FALSE(status->text().contains("cut short")) << status->text().toStdString();
    QTest::keyClick(&canvas, Qt::Key_Home); // 20,000 scans, still few enough to be read
    EXPECT_TRUE(status->text().contains("nothing is left of them from 10.000 s on")) << status->text().toStdString();
    EXPECT_FALSE(canvas.shownValues().Empty());
}

TEST_F(OverviewWindowTest, ARecordingReplacedSinceItsSummaryWasCachedIsSummedUpAgain)
{
    Open();
    form->OpenProject(saved.Project());
    Built();
    Samples other = samples;
    other.ai[7] = 1000.0f;
    saved.Write(other);
    const std::string ai = saved.folder / "AI.ond";
    const timespec later[2] = {{0, UTIME_OMIT}, {2000000000, 5}};
    ASSERT_EQ(::utimensat(AT_FDCWD, ai.c_str(), later, 0), 0);
    form->OpenProject(saved.Project());
    OverviewWindow* window = Built();
    EXPECT_FALSE(window->fromCache());
    EXPECT_EQ(window->summary()->AIBlock(window->summary()->Levels() - 1, 0, 1).max, 1000.0f);
}

} // namespace
} // namespace ondrel::testing
