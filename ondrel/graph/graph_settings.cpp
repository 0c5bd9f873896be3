#include "ondrel/graph/graph_settings.h"
#include "ondrel/components/component_error.h"
#include "ondrel/graph/axis_text.h"
#include <exception>

namespace ondrel {

namespace {

double Number(const std::string& text)
{
    const auto value = ParseAxisValue(text);
    if (!value)
        throw ComponentError("an axis box holds no number");
    return *value;
}

template <typename Row>
Row& RowAt(std::vector<Row>& table, int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= table.size())
        throw ComponentError("a plot has no table row");
    return table[static_cast<size_t>(index)];
}

} // namespace

void GraphSettings::Form_Load()
{
    names_.clear();
    PlotLineStyles_.clear();
    PlotColors_.clear();
    IKroPlots& plots = p_.graph.Plots();
    for (int32_t i = 0; i < plots.Count(); ++i) {
        IKroPlot& plot = plots.Item(i);
        names_.push_back(plot.Name());
        PlotLineStyles_.push_back(Code(plot.LineStyle()));
        PlotColors_.push_back(plot.Color());
    }

    IKroAxis& time = p_.graph.Axes().Item(kTimeAxis);
    if (time.AutoScale()) {
        chkXAutoS_Click(true);
    } else if (p_.running) {
        x_.min = AxisValueText(0.0); // the span starts at 0
        x_.max = SpanText(time.Maximum() - time.Minimum());
    } else {
        x_.min = AxisValueText(time.Minimum());
        x_.max = AxisValueText(time.Maximum());
    }
    if (p_.running)
        x_.minEnabled = false;

    if (p_.graph.Axes().Item(kAIAxis).AutoScale())
        chkYAutoS_Click(true);
    else
        FillY();
}

void GraphSettings::lstPlots_Click(int32_t row)
{
    if (row < 0 || row >= static_cast<int32_t>(names_.size()))
        return;
    row_ = row;
    shownColor_ = PlotColors_[static_cast<size_t>(row)];
    const int32_t style = PlotLineStyles_[static_cast<size_t>(row)];
    if (style >= 0 && style < kLineStyleCount)
        shownStyle_ = style;
}

void GraphSettings::CmbLineStyle_Click(int32_t item)
{
    if (!row_ || item < 0 || item >= kLineStyleCount)
        return;
    shownStyle_ = item;
    PlotLineStyles_[static_cast<size_t>(*row_)] = item;
}

void GraphSettings::BtnColor_Click()
{
    if (!row_)
        return;
    const auto chosen = p_.prompts.ChooseColor(PlotColors_[static_cast<size_t>(*row_)]);
    if (!chosen)
        return;
    shownColor_ = *chosen;
    PlotColors_[static_cast<size_t>(*row_)] = *chosen;
}

void GraphSettings::chkXAutoS_Click(bool checked)
{
    x_.autoScale = checked;
    x_.minEnabled = !checked && !p_.running;
    x_.maxEnabled = !checked;
    FillX();
}

void GraphSettings::chkYAutoS_Click(bool checked)
{
    y_.autoScale = checked;
    y_.minEnabled = !checked;
    y_.maxEnabled = !checked;
    FillY();
}

void GraphSettings::FillX()
{
    IKroAxis& time = p_.graph.Axes().Item(kTimeAxis);
    if (p_.running) {
        x_.min = AxisValueText(0.0); // the span starts at 0
        x_.max = AxisValueText(time.Maximum() - time.Minimum());
    } else {
        x_.min = AxisValueText(time.Minimum());
        x_.max = AxisValueText(time.Maximum());
    }
}

void GraphSettings::FillY()
{
    IKroAxis& axis = p_.graph.Axes().Item(kAIAxis);
    y_.min = AxisValueText(axis.Minimum());
    y_.max = AxisValueText(axis.Maximum());
}

void GraphSettings::LostFocus(AxisBox box)
{
    const bool isX = box == AxisBox::XMin || box == AxisBox::XMax;
    const bool isMax = box == AxisBox::XMax || box == AxisBox::YMax;
    CheckRange(isX ? x_ : y_, isMax, isX ? "Invalide X axis range" : "Invalide Y axis range");
}

void GraphSettings::CheckRange(AxisBoxes& axis, bool isMaxBox, const char* rangeMessage)
{
    const auto min = ParseAxisValue(axis.min);
    const auto max = ParseAxisValue(axis.max);
    if (!min || !max) {
        p_.prompts.MsgBox("Please input a valid number", "");
        return;
    }
    if (*min <= *max)
        return;
    p_.prompts.MsgBox(rangeMessage, "");
    if (isMaxBox)
        axis.max = AxisValueText(*min + 10.0);
    else
        axis.min = AxisValueText(*max - 10.0);
}

bool GraphSettings::BtnApply_Click()
{
    try {
        Apply();
        return true;
    } catch (const std::exception&) {
        p_.prompts.MsgBox("Graph Set Apply Error", "");
        return false;
    }
}

void GraphSettings::Apply()
{
    IKroAxis& time = p_.graph.Axes().Item(kTimeAxis);
    if (x_.autoScale) {
        time.setAutoScale(true);
    } else {
        time.setAutoScale(false);
        time.SetRange(Number(x_.min), Number(x_.max));
    }
    IKroAxis& value = p_.graph.Axes().Item(kAIAxis);
    if (y_.autoScale) {
        value.setAutoScale(true);
    } else {
        value.setAutoScale(false);
        value.setMinimum(Number(y_.min));
        value.setMaximum(Number(y_.max));
    }
    p_.timeBase.FollowXAxis();
    if (p_.replay.bHistoryMode)
        WriteReplayTables();
    else
        WriteLiveTables();
}

int32_t GraphSettings::Plot(int32_t index) const
{
    if (index < 0 || static_cast<size_t>(index) >= PlotColors_.size())
        throw ComponentError("the chart has fewer plots than the tables");
    return index;
}

void GraphSettings::WriteLiveTables()
{
    const int32_t aiPlots = static_cast<int32_t>(p_.scan.plotPhysical.size());
    for (int32_t i = 0; i < aiPlots; ++i) {
        AIChannelSetting& channel = RowAt(p_.setup.aiChannels, p_.scan.plotPhysical[static_cast<size_t>(i)]);
        channel.nAIChanColor = PlotColors_[static_cast<size_t>(Plot(i))];
        channel.nAIChanLineStyle = PlotLineStyles_[static_cast<size_t>(i)];
    }
    int32_t j = 0;
    for (int32_t port = 0; port < p_.setup.nDIMaxPortCount; ++port) {
        for (int32_t bit = 0; bit < 8; ++bit) {
            if ((p_.setup.PortMask(port) & (1u << bit)) == 0)
                continue;
            const auto plot = static_cast<size_t>(Plot(aiPlots + j));
            DILineSetting& line = RowAt(p_.setup.diLines, 8 * port + bit);
            line.nDIChanColor = PlotColors_[plot];
            line.nDIChanLineStyle = PlotLineStyles_[plot];
            ++j;
        }
    }
}

void GraphSettings::WriteReplayTables()
{
    const int32_t aiCount = p_.replay.nHisAIChanCount;
    for (int32_t i = 0; i < aiCount; ++i) {
        ReplayPlot& plot = RowAt(p_.replay.aiPlots, i);
        plot.color = PlotColors_[static_cast<size_t>(Plot(i))];
        plot.style = PlotLineStyles_[static_cast<size_t>(i)];
    }
    for (int32_t i = 0; i < p_.replay.nHisDIChanCount; ++i) {
        ReplayPlot& plot = RowAt(p_.replay.diPlots, i);
        plot.color = PlotColors_[static_cast<size_t>(Plot(aiCount + i))];
        plot.style = PlotLineStyles_[static_cast<size_t>(aiCount) + static_cast<size_t>(i)];
    }
}

} // namespace ondrel
