#pragma once

#include <QString>

#include <cstdint>

// The plot speaks the conventions of the Windows drawing interface, in which
// its layout numbers were worked out: colours are 0x00BBGGRR, rectangles
// leave out their right column and bottom row, a line does not paint its end
// point, a font's height includes its internal leading. Each surface
// translates them for what it draws on.

using PlotColour = std::uint32_t;  // 0x00BBGGRR

constexpr PlotColour PlotRgb(int red, int green, int blue)
{
    return PlotColour(red & 0xFF) | (PlotColour(green & 0xFF) << 8) | (PlotColour(blue & 0xFF) << 16);
}
constexpr int PlotRed(PlotColour c) { return int(c & 0xFF); }
constexpr int PlotGreen(PlotColour c) { return int((c >> 8) & 0xFF); }
constexpr int PlotBlue(PlotColour c) { return int((c >> 16) & 0xFF); }

struct PlotPoint
{
    int x = 0;
    int y = 0;
    friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

struct PlotSize
{
    int cx = 0;
    int cy = 0;
};

// Right and bottom lie just outside the rectangle.
struct PlotRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(PlotPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    // The common part; all zero when there is none.
    PlotRect Intersected(const PlotRect& other) const;
    friend bool operator==(const PlotRect&, const PlotRect&) = default;
};

enum PlotPenStyle : int {
    PenSolid = 0,
    PenDash = 1,
    PenDot = 2,
    PenDashDot = 3,
    PenDashDotDot = 4,
    PenNull = 5,
};

// Width 0 and 1 are both one pixel.
struct PlotPen
{
    int style = PenSolid;
    int width = 1;
    PlotColour colour = 0;
    friend bool operator==(const PlotPen&, const PlotPen&) = default;
};

// A hollow brush fills nothing.
struct PlotBrush
{
    bool hollow = false;
    PlotColour colour = 0xFFFFFF;
    static PlotBrush Solid(PlotColour colour) { return PlotBrush{false, colour}; }
    static PlotBrush Hollow() { return PlotBrush{true, 0}; }
    friend bool operator==(const PlotBrush&, const PlotBrush&) = default;
};

// A logical font. A positive height is the cell height (ascent plus descent),
// a negative one the character height without the internal leading; 0 takes
// a default. Escapement and orientation are in tenths of a degree,
// counter-clockwise. Weight 0 is the normal weight.
struct PlotFont
{
    int height = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 0;
    int charSet = 0;
    int outPrecision = 0;
    int quality = 0;
    int pitchAndFamily = 0;
    QString face;
    friend bool operator==(const PlotFont&, const PlotFont&) = default;
};

inline constexpr int DefaultCharSet = 1;
inline constexpr int RussianCharSet = 204;

struct PlotTextMetrics
{
    int height = 0;  // ascent plus descent
    int ascent = 0;
    int aveCharWidth = 0;
};

// Text alignment: one horizontal and one vertical value, or-ed.
enum PlotTextAlign : unsigned {
    AlignLeft = 0,
    AlignRight = 2,
    AlignCenter = 6,
    AlignTop = 0,
    AlignBottom = 8,
    AlignBaseline = 24,
};
inline constexpr unsigned AlignHorizontalMask = 6;
inline constexpr unsigned AlignVerticalMask = 24;

// Where the plot draws. It keeps the selected pen, brush, font and text
// colour and the current position the way a device context does; a fresh
// surface holds a black one-pixel pen, a white brush and black text. Text is
// always drawn on a transparent background.
class PlotSurface
{
public:
    virtual ~PlotSurface() = default;

    // Each returns what was selected before, to be selected back.
    PlotPen SelectPen(const PlotPen& pen);
    PlotBrush SelectBrush(const PlotBrush& brush);
    PlotFont SelectFont(const PlotFont& font);
    PlotColour SetTextColour(PlotColour colour);

    const PlotPen& Pen() const { return m_pen; }
    const PlotBrush& Brush() const { return m_brush; }
    const PlotFont& Font() const { return m_font; }
    PlotColour TextColour() const { return m_textColour; }
    PlotPoint Position() const { return m_position; }

    void MoveTo(int x, int y) { m_position = PlotPoint{x, y}; }
    // From the current position to (x, y), which is not painted; the position
    // moves there.
    void LineTo(int x, int y);

    // Outline with the pen, inside with the brush. With the null pen the
    // filled part also leaves out the last column and row inside.
    virtual void Rectangle(const PlotRect& r) = 0;
    // The ellipse inscribed in r, drawn like Rectangle.
    virtual void Ellipse(const PlotRect& r) = 0;
    virtual void FillRect(const PlotRect& r, PlotColour colour) = 0;
    virtual void TextOut(int x, int y, unsigned align, const QString& text) = 0;
    // Of the selected font.
    virtual PlotTextMetrics TextMetrics() = 0;
    // Width and cell height of the text, unturned.
    virtual PlotSize TextExtent(const QString& text) = 0;

protected:
    virtual void DrawLine(PlotPoint from, PlotPoint to) = 0;

private:
    PlotPen m_pen;
    PlotBrush m_brush;
    PlotFont m_font;
    PlotColour m_textColour = 0;
    PlotPoint m_position;
};
