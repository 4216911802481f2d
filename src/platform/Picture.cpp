#include "platform/Picture.h"

#include <cstdio>

#include "platform/NumberFormat.h"

namespace ombrix {

void Picture::clear() {
    m_ops.clear();
    ++m_generation;
    if (m_listener) {
        m_listener();
    }
}

void Picture::setFont(std::string_view name, double points) {
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i].name == name && m_fonts[i].points == points) {
            m_font = static_cast<int>(i);
            return;
        }
    }
    m_fonts.push_back({std::string(name), points});
    m_font = static_cast<int>(m_fonts.size() - 1);
}

void Picture::add(DrawOp op) {
    op.style = m_style;
    op.width = m_width;
    m_ops.push_back(std::move(op));
    if (m_listener) {
        m_listener();
    }
}

void Picture::line(double x1, double y1, double x2, double y2, Color color) {
    DrawOp op;
    op.kind = DrawOp::Kind::Line;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.color = color;
    add(std::move(op));
}

void Picture::box(double x1, double y1, double x2, double y2, Color color, bool filled) {
    DrawOp op;
    op.kind = DrawOp::Kind::Box;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.color = color;
    op.filled = filled;
    add(std::move(op));
}

void Picture::circle(double cx, double cy, double radius, Color color, bool filled) {
    DrawOp op;
    op.kind = DrawOp::Kind::Circle;
    op.x1 = cx;
    op.y1 = cy;
    op.x2 = radius;
    op.color = color;
    op.filled = filled;
    add(std::move(op));
}

void Picture::text(double x, double y, std::string_view s) {
    DrawOp op;
    op.kind = DrawOp::Kind::Text;
    op.x1 = x;
    op.y1 = y;
    op.color = m_fore;
    op.text = std::string(s);
    op.font = m_font;
    add(std::move(op));
}

namespace {

std::string num(double v) {
    return plainNumberText(v);
}

std::string colorText(Color c) {
    switch (c) {
        case kBlack:
            return "black";
        case kBlue:
            return "blue";
        case kWhite:
            return "white";
        default:
            break;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(c & 0xFFFFFF));
    return buf;
}

std::string styleText(const DrawOp& op) {
    return std::string(op.style == LineStyle::Dotted ? "dotted" : "solid") + " w" +
           std::to_string(op.width);
}

}  // namespace

std::string describe(const DrawOp& op) {
    switch (op.kind) {
        case DrawOp::Kind::Line:
            return "line " + styleText(op) + " " + colorText(op.color) + " (" + num(op.x1) + "," +
                   num(op.y1) + ")-(" + num(op.x2) + "," + num(op.y2) + ")";
        case DrawOp::Kind::Box:
            return std::string(op.filled ? "filled box " : "box ") + styleText(op) + " " +
                   colorText(op.color) + " (" + num(op.x1) + "," + num(op.y1) + ")-(" + num(op.x2) +
                   "," + num(op.y2) + ")";
        case DrawOp::Kind::Circle:
            return std::string(op.filled ? "filled circle " : "circle ") + styleText(op) + " " +
                   colorText(op.color) + " (" + num(op.x1) + "," + num(op.y1) + ") r" + num(op.x2);
        case DrawOp::Kind::Text:
            return "text " + colorText(op.color) + " (" + num(op.x1) + "," + num(op.y1) + ") \"" +
                   op.text + "\"";
    }
    return {};
}

}  // namespace ombrix
