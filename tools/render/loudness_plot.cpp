#include "tools/render/loudness_plot.h"

#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "embedded_assets.h"
#include "framework/resource_cache.h"
#include "parameters/mapping_curve.h"
#include "toolkit/gdiplus_globals.h"
#include "tools/render/bitmap_png.h"
#include "tools/render/report.h"
#include "views/my_loudness_mapping.h"
#include "views/wide_text.h"

namespace tarvel::render {

namespace {

using namespace Gdiplus;

// The editor's colours, so the picture looks like the plug-in.
constexpr ARGB backgroundTop = 0xFF3C4046;
constexpr ARGB backgroundBottom = 0xFF222428;
constexpr ARGB titleColour = 0xFFE6EBF0;
constexpr ARGB textColour = 0xFFC8D2DC;
constexpr ARGB dimTextColour = 0xFF8C96A0;
constexpr ARGB panelBorder = 0x50FFFFFF;
constexpr ARGB gridColour = 0x50C8FFFF;
constexpr ARGB gridLabelColour = 0xC8C8FFFF;
constexpr ARGB targetColour = targetLineColour;
// The output is drawn in the editor's curve colour; the input in a quieter
// blue that stays apart from it.
constexpr ARGB inputColour = inputCurveColour;
constexpr ARGB outputColour = outputCurveColour;

constexpr double levelsPerCell = 6.0; // one grid cell: 6 LU, as in the editor's graph

struct Fonts {
    std::unique_ptr<Font> title, text, small, gridLabel;
};

// Fonts come from the embedded assets, registered once for the process
// (GDI+ stays up as long, as it does in a plug-in host).
vantle::vst::ResourceCache& assets()
{
    static vantle::vst::ResourceCache* cache = [] {
        VSTGUI::GDIPlusGlobals::enter();
        return new vantle::vst::ResourceCache(
            [](const std::string& name) { return assetBytes(tarvel::uiAssets(), name); });
    }();
    return *cache;
}

std::unique_ptr<Font> fontOf(const std::string& asset, REAL pixels)
{
    const std::shared_ptr<FontFamily> family = assets().getFont(asset);
    const FontFamily* chosen = family ? family.get() : FontFamily::GenericSansSerif();
    return std::make_unique<Font>(chosen, pixels, FontStyleRegular, UnitPixel);
}

vantle::vst::WideString wide(const std::string& text)
{
    try {
        return vantle::vst::toWide(text);
    } catch (const std::exception&) {
        // A file name that is not UTF-8: its bytes as Latin-1.
        return vantle::vst::WideString(text.begin(), text.end());
    }
}

void drawText(Graphics& graphics, const std::string& text, const Font& font, ARGB colour, PointF at,
              StringAlignment horizontal = StringAlignmentNear, StringAlignment vertical = StringAlignmentCenter)
{
    const vantle::vst::WideString characters = wide(text);
    StringFormat format;
    format.SetAlignment(horizontal);
    format.SetLineAlignment(vertical);
    SolidBrush brush{Color(colour)};
    graphics.DrawString(characters.c_str(), static_cast<INT>(characters.size()), &font, at, &format, &brush);
}

// A rectangle with corners of radius 8, as the editor's graph panel.
void addRoundedRectangle(GraphicsPath& path, REAL left, REAL top, REAL right, REAL bottom)
{
    constexpr REAL corner = 16;
    path.AddArc(left, top, corner, corner, 180, 90);
    path.AddArc(right - corner, top, corner, corner, 270, 90);
    path.AddArc(right - corner, bottom - corner, corner, corner, 0, 90);
    path.AddArc(left, bottom - corner, corner, corner, 90, 90);
    path.CloseFigure();
}

void drawPanel(Graphics& graphics, REAL left, REAL top, REAL right, REAL bottom)
{
    GraphicsPath panel(FillModeWinding);
    addRoundedRectangle(panel, left, top, right, bottom);
    SolidBrush black{Color(0xFF000000)};
    graphics.FillPath(&black, &panel);
    LinearGradientBrush sheen(PointF(left - 12, top - 24), PointF(left - 12, bottom + 24), Color(0x28FFFFFF),
                              Color(0x0AFFFFFF));
    graphics.FillPath(&sheen, &panel);
    Pen border{Color(panelBorder), 1};
    graphics.DrawPath(&border, &panel);
}

// A horizontal line drawn in dashes.
void drawDashedLine(Graphics& graphics, const Pen& pen, REAL left, REAL right, REAL y)
{
    constexpr REAL dash = 6, gap = 4;
    for (REAL x = left; x < right; x += dash + gap)
        graphics.DrawLine(&pen, x, y, std::min(x + dash, right), y);
}

// The chart of short-term loudness over time.
class LoudnessChart {
public:
    explicit LoudnessChart(const ChartFrame& chartFrame) : frame(chartFrame) {}

    void drawGrid(Graphics& graphics, const Fonts& fonts) const
    {
        Pen grid{Color(gridColour), 1};
        for (double level = frame.levelTop; level >= frame.levelBottom - 1e-9; level -= levelsPerCell) {
            graphics.DrawLine(&grid, frame.left, frame.y(level), frame.right, frame.y(level));
            drawText(graphics, std::to_string(static_cast<int>(level)), *fonts.gridLabel, gridLabelColour,
                     PointF(frame.left - 6, frame.y(level)), StringAlignmentFar);
        }
        const double step = timeStep();
        for (double time = 0.0; time <= frame.seconds + 1e-9; time += step) {
            graphics.DrawLine(&grid, frame.x(time), frame.top, frame.x(time), frame.bottom);
            const std::string label =
                frame.seconds < 60.0 ? std::to_string(std::lround(time)) + " s" : durationText(time);
            drawText(graphics, label, *fonts.gridLabel, gridLabelColour, PointF(frame.x(time), frame.bottom + 12),
                     StringAlignmentCenter);
        }
    }

    void drawTarget(Graphics& graphics, double target) const
    {
        Pen pen{Color(targetColour), 1};
        drawDashedLine(graphics, pen, frame.left, frame.right, frame.y(target));
    }

    void drawSeries(Graphics& graphics, const std::vector<double>& levels, ARGB colour, REAL width) const
    {
        if (levels.size() < 2)
            return;
        // At most about two points per pixel; silence sits below the chart.
        const auto stride =
            std::max<std::size_t>(1, levels.size() / static_cast<std::size_t>(2 * (frame.right - frame.left)));
        const double floor = frame.levelBottom - 10.0;
        std::vector<PointF> points;
        for (std::size_t i = 0; i < levels.size(); i += stride) {
            const double level = std::isfinite(levels[i]) ? std::max(levels[i], floor) : floor;
            points.emplace_back(frame.x(static_cast<double>(i + 1) * meterStepSeconds), frame.y(level));
        }
        Pen pen{Color(colour), width};
        graphics.SetClip(RectF(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top));
        graphics.DrawLines(&pen, points.data(), static_cast<INT>(points.size()));
        graphics.ResetClip();
    }

private:
    // About eight labelled lines whatever the length.
    double timeStep() const
    {
        for (double step : {1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 900.0, 1800.0, 3600.0})
            if (frame.seconds / step <= 9.0)
                return step;
        return 7200.0;
    }

    const ChartFrame frame;
};

// The static mapping in the editor's own graph view, its level marker at
// the input's integrated loudness, and a dot where this file landed:
// integrated loudness in (across) and out (up).
void drawMappingGraph(Graphics& graphics, const PlotData& data)
{
    vantle::vst::MyLoudnessMapping graph(VSTGUI::CPoint(mappingGridLeft, mappingGridTop), &assets());
    for (const LevelPoint& point : mappingCurvePoints(data.targetNormalized, data.ratioNormalized))
        graph.curvePoints.emplace_back(point.input, point.output);
    graph.currentLevel = levelMarker(data.input.integrated, std::isfinite(data.input.integrated));
    graph.targetLevel = mappingTargetLevel(data.targetNormalized);
    const GraphicsState state = graphics.Save();
    graph.paint(graphics);
    graphics.Restore(state);

    const double in = data.input.integrated, out = data.output.integrated;
    if (in >= markerFloor && in <= 0.0 && out >= markerFloor && out <= 0.0) {
        SolidBrush dot{Color(titleColour)};
        graphics.FillEllipse(&dot, mappingGridLeft + static_cast<REAL>(graph.levelToX(in)) - 4,
                             mappingGridTop + static_cast<REAL>(graph.levelToY(out)) - 4, REAL(8), REAL(8));
    }
}

// One line of the legend: a swatch, a name, and the figures in columns.
void drawLegendEntry(Graphics& graphics, const Fonts& fonts, REAL x, REAL y, ARGB colour, bool dashed,
                     const std::string& label, const std::vector<std::string>& figures)
{
    Pen swatch{Color(colour), dashed ? 1.0f : 3.0f};
    if (dashed)
        drawDashedLine(graphics, swatch, x, x + 22, y);
    else
        graphics.DrawLine(&swatch, x, y, x + 22, y);
    drawText(graphics, label, *fonts.text, colour, PointF(x + 30, y));
    REAL column = x + 86;
    for (const std::string& figure : figures) {
        drawText(graphics, figure, *fonts.small, textColour, PointF(column, y));
        column += figure == figures.front() ? 84.0f : 106.0f;
    }
}

std::vector<std::string> figuresOf(const LoudnessReport& report)
{
    return {levelText(report.integrated, " LUFS"), "range " + levelText(report.range, " LU"),
            "max " + levelText(report.maxShortTerm, " LUFS")};
}

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

float ChartFrame::x(double time) const
{
    return left + static_cast<float>(time / seconds) * (right - left);
}

float ChartFrame::y(double level) const
{
    return top + static_cast<float>((levelTop - level) / (levelTop - levelBottom)) * (bottom - top);
}

ChartFrame chartFrameFor(const PlotData& data)
{
    ChartFrame frame;
    const std::size_t steps = std::max(data.inputShortTerm.size(), data.outputShortTerm.size());
    frame.seconds = std::max(1.0, static_cast<double>(steps) * meterStepSeconds);
    const double target = mappingTargetLevel(data.targetNormalized);
    double loudest = target, quietest = target;
    for (const auto* series : {&data.inputShortTerm, &data.outputShortTerm})
        for (double level : *series)
            if (std::isfinite(level) && level > -72.0) {
                loudest = std::max(loudest, level);
                quietest = std::min(quietest, level);
            }
    frame.levelTop = std::min(0.0, std::ceil((loudest + 2.0) / levelsPerCell) * levelsPerCell);
    frame.levelBottom = std::max(-72.0, std::floor((quietest - 2.0) / levelsPerCell) * levelsPerCell);
    frame.levelBottom = std::min(frame.levelBottom, frame.levelTop - 4 * levelsPerCell);
    return frame;
}

std::unique_ptr<Bitmap> drawLoudnessPlot(const PlotData& data)
{
    Fonts fonts;
    fonts.title = fontOf("DejaVu Sans.ttf", 18);
    fonts.text = fontOf("DejaVu Sans.ttf", 13);
    fonts.small = fontOf("DejaVu Sans.ttf", 12);
    // The editor labels its graph in its monospaced face.
    fonts.gridLabel = fontOf("Courier Prime Code.ttf", 11);

    auto bitmap = std::make_unique<Bitmap>(plotWidth, plotHeight, PixelFormat32bppARGB);
    if (bitmap->GetLastStatus() != Ok)
        throw std::runtime_error("cannot create a picture of " + std::to_string(plotWidth) + " by " +
                                 std::to_string(plotHeight) + " pixels");
    Graphics graphics(bitmap.get());
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    graphics.SetTextRenderingHint(TextRenderingHintAntiAlias);
    LinearGradientBrush background(PointF(0, 0), PointF(0, plotHeight), Color(backgroundTop), Color(backgroundBottom));
    graphics.FillRectangle(&background, REAL(0), REAL(0), REAL(plotWidth), REAL(plotHeight));

    // Heading: what was rendered and how, and the legend with the figures.
    drawText(graphics, fileNameOf(data.title), *fonts.title, titleColour, PointF(24, 24));
    drawText(graphics, data.settings, *fonts.small, textColour, PointF(24, 50));
    drawText(graphics, data.details, *fonts.small, dimTextColour, PointF(24, 70));
    const double target = mappingTargetLevel(data.targetNormalized);
    drawLegendEntry(graphics, fonts, 560, 24, inputColour, false, "input", figuresOf(data.input));
    drawLegendEntry(graphics, fonts, 560, 47, outputColour, false, "output", figuresOf(data.output));
    drawLegendEntry(graphics, fonts, 560, 70, targetColour, true, "target", {levelText(target, " LUFS")});

    const LoudnessChart chart(chartFrameFor(data));
    drawText(graphics, "Short-term loudness over time, LUFS", *fonts.text, textColour, PointF(30, 102));
    drawPanel(graphics, 30, 114, 696, 442);
    chart.drawGrid(graphics, fonts);
    chart.drawTarget(graphics, target);
    chart.drawSeries(graphics, data.inputShortTerm, inputColour, 1.5f);
    chart.drawSeries(graphics, data.outputShortTerm, outputColour, 2.0f);

    const REAL graphX = mappingGridLeft, graphY = mappingGridTop;
    drawText(graphics, "Mapping", *fonts.text, textColour, PointF(graphX - 28, 102));
    drawText(graphics, "output against input level, LUFS,", *fonts.small, dimTextColour, PointF(graphX - 28, 124));
    drawText(graphics, "as the editor's graph shows it", *fonts.small, dimTextColour, PointF(graphX - 28, 141));
    drawMappingGraph(graphics, data);
    drawText(graphics, "dot: this file's integrated loudness", *fonts.small, dimTextColour,
             PointF(graphX - 28, graphY + 200 + 36));
    drawText(graphics, "in (across) and out (up)", *fonts.small, dimTextColour, PointF(graphX - 28, graphY + 200 + 53));
    return bitmap;
}

std::unique_ptr<PendingFile> writeLoudnessPlot(const std::string& path, const PlotData& data)
{
    const std::unique_ptr<Bitmap> picture = drawLoudnessPlot(data);
    auto file = std::make_unique<PendingFile>(path);
    if (!writeBitmapPng(*picture, file->temporaryPath()))
        throw std::runtime_error("cannot write the picture '" + path + "'");
    return file;
}

} // namespace tarvel::render
