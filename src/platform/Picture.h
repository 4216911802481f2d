// A retained picture: the canvas that keeps every drawing call, so the graph area can repaint,
// print and export what was drawn, and tests can read back the calls.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace ombrix {

struct DrawOp {
    enum class Kind { Line, Box, Circle, Text };
    Kind kind = Kind::Line;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends, box corners; circle centre and radius
    Color color = kBlack;
    bool filled = false;
    LineStyle style = LineStyle::Solid;
    int width = 1;
    std::string text;  // Text only
    int font = 0;      // Text only: index into Picture::fonts()
};

struct FontSpec {
    std::string name;
    double points = 0;
};

class Picture : public Canvas {
  public:
    void clear() override;
    void setScale(const Scale& scale) override { m_scale = scale; }
    void setFont(std::string_view name, double points) override;
    void setLineWidth(int width) override { m_width = width; }
    void setLineStyle(LineStyle style) override { m_style = style; }
    void setForeColor(Color color) override { m_fore = color; }
    Color foreColor() const override { return m_fore; }
    Color backColor() const override { return kWhite; }
    using Canvas::line;
    void line(double x1, double y1, double x2, double y2, Color color) override;
    void box(double x1, double y1, double x2, double y2, Color color, bool filled) override;
    void circle(double cx, double cy, double radius, Color color, bool filled) override;
    void text(double x, double y, std::string_view s) override;

    const std::vector<DrawOp>& ops() const { return m_ops; }
    const std::vector<FontSpec>& fonts() const { return m_fonts; }
    const Scale& scale() const { return m_scale; }
    LineStyle lineStyle() const { return m_style; }
    int lineWidth() const { return m_width; }
    // Changes with every clear: a renderer that cached the old ops starts again.
    unsigned long generation() const { return m_generation; }

    // Called after every change (the graph area schedules a repaint).
    void setListener(std::function<void()> listener) { m_listener = std::move(listener); }

  private:
    void add(DrawOp op);

    std::vector<DrawOp> m_ops;
    std::vector<FontSpec> m_fonts{{"Helv", 8}};
    int m_font = 0;
    Scale m_scale;
    LineStyle m_style = LineStyle::Solid;
    int m_width = 1;
    Color m_fore = kBlack;
    unsigned long m_generation = 0;
    std::function<void()> m_listener;
};

// One drawing call as readable text, for tests and diagnostics:
// "line solid w1 black (0,0)-(0,100)", "text blue (20,108) \"Post Elec\"". Colours other than
// black, blue and white show as their platform value in hexadecimal.
std::string describe(const DrawOp& op);

}  // namespace ombrix
