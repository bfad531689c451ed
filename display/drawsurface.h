#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sheetcraft {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb white{255, 255, 255};
inline constexpr Rgb red{255, 0, 0};
inline constexpr Rgb blue{0, 0, 255};

enum class FillStyle {
    Solid,
    Transparent,
    DiagonalCross,    // gripper strip and its legend
    DownwardDiagonal, // pieces: lines from top left to bottom right
};

struct TextFont {
    std::string name;  // empty: the surface's default font
    double points = 0; // 0: the default size
    bool bold = false;
    friend bool operator==(const TextFont &, const TextFont &) = default;
};

// A surface the diagrams and the report are drawn on, in twips (1440 to the
// inch), origin top left, y downwards, with one current position shared by
// drawing and text:
// - line and box leave the position at their end point (a box's far corner);
// - print without a line end leaves it just after the text on the same line;
//   with a line end it goes to x = 0, one text line lower;
// - clear erases everything and puts it at (0, 0).
// Line widths are device pixels whatever the scale.
class DrawSurface {
public:
    virtual ~DrawSurface() = default;

    double currentX() const { return m_x; }
    double currentY() const { return m_y; }
    void setCurrentX(double x) { m_x = x; }
    void setCurrentY(double y) { m_y = y; }
    // Places the position without drawing anything.
    void moveTo(double x, double y) {
        m_x = x;
        m_y = y;
    }

    virtual void clear() = 0;
    virtual void line(double x1, double y1, double x2, double y2, Rgb colour = black) = 0;
    // A box outlined in the given colour and filled with the current fill.
    virtual void box(double x1, double y1, double x2, double y2, Rgb outline = black) = 0;
    // cols x rows boxes of cellWidth x cellHeight side by side from (x0, y0),
    // looking exactly as that many box() calls would, with work that grows with
    // rows + cols. Leaves the position at the grid's far corner.
    virtual void boxGrid(double x0, double y0, double cellWidth, double cellHeight,
                         std::int64_t cols, std::int64_t rows, Rgb outline = black) = 0;
    virtual void print(std::string_view text, bool lineEnd) = 0;

    virtual double textWidth(std::string_view text) const = 0;
    virtual double textHeight() const = 0;

    virtual void setLineWidth(int pixels) = 0;
    virtual void setFillColor(Rgb colour) = 0;
    virtual void setFillStyle(FillStyle style) = 0;
    virtual void setFont(const TextFont &font) = 0;

protected:
    double m_x = 0;
    double m_y = 0;
};

} // namespace sheetcraft
