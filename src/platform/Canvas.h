// Drawing surface of the graph area, in the user units that the caller's scale sets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ombrix {

// Platform colour value: the bytes blue, green, red from high to low (0xFF0000 is pure blue).
using Color = std::uint32_t;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kBlue = 0xFF0000;
inline constexpr Color kWhite = 0xFFFFFF;

inline constexpr int colorRed(Color c) {
    return static_cast<int>(c & 0xFF);
}
inline constexpr int colorGreen(Color c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int colorBlue(Color c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

enum class LineStyle { Solid, Dotted };

// The user scale: the values at the left, top, right and bottom edges of the surface.
struct Scale {
    double left = 0;
    double top = 0;
    double right = 1;
    double bottom = 1;
};

class Canvas {
  public:
    virtual ~Canvas() = default;

    // Erases everything to the background colour.
    virtual void clear() = 0;
    virtual void setScale(const Scale& scale) = 0;
    virtual void setFont(std::string_view name, double points) = 0;
    virtual void setLineWidth(int width) = 0;
    virtual void setLineStyle(LineStyle style) = 0;
    // Text colour, and the colour of lines drawn without one.
    virtual void setForeColor(Color color) = 0;
    virtual Color foreColor() const = 0;
    virtual Color backColor() const = 0;

    // Primitives take the current line width and style.
    virtual void line(double x1, double y1, double x2, double y2, Color color) = 0;
    virtual void box(double x1, double y1, double x2, double y2, Color color, bool filled) = 0;
    virtual void circle(double cx, double cy, double radius, Color color, bool filled) = 0;
    // Text with its top-left corner at (x, y), in the current font and text colour.
    virtual void text(double x, double y, std::string_view s) = 0;

    void line(double x1, double y1, double x2, double y2) { line(x1, y1, x2, y2, foreColor()); }
};

// A canvas that draws nothing (headless runs that keep no picture).
class NullCanvas : public Canvas {
  public:
    void clear() override {}
    void setScale(const Scale&) override {}
    void setFont(std::string_view, double) override {}
    void setLineWidth(int) override {}
    void setLineStyle(LineStyle) override {}
    void setForeColor(Color c) override { m_fore = c; }
    Color foreColor() const override { return m_fore; }
    Color backColor() const override { return kWhite; }
    using Canvas::line;
    void line(double, double, double, double, Color) override {}
    void box(double, double, double, double, Color, bool) override {}
    void circle(double, double, double, Color, bool) override {}
    void text(double, double, std::string_view) override {}

  private:
    Color m_fore = kBlack;
};

}  // namespace ombrix
