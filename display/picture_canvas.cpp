#include "display/picture_canvas.h"

#include <algorithm>
#include <cstdlib>

#include "display/status_items.h"

namespace {

bool InsidePoly(const PictureShape& s, double cx, double cy)
{
    bool hit = false;
    for (int i = 0; i < s.count; ++i) {
        const int j = (i + 1) % s.count;
        const int ax = s.x[i], ay = s.y[i], bx = s.x[j], by = s.y[j];
        if ((ay > cy) != (by > cy) && cx < ax + (cy - ay) * (bx - ax) / (by - ay))
            hit = !hit;
    }
    return hit;
}

bool InsideEllipse(const PictureShape& s, double cx, double cy)
{
    const double dx = (cx - s.x[0]) / s.x[1], dy = (cy - s.y[0]) / s.y[1];
    return dx * dx + dy * dy <= 1.0;
}

// Whether the centre of canvas pixel p, scaled back, lies in [from, to).
bool CentreWithin(int p, double scale, int from, int to)
{
    return from <= (p + 0.5) / scale && (p + 0.5) / scale < to;
}

double Scale(const PictureCanvas& c)
{
    return c.dpi / static_cast<double>(kBaseDpi);
}

// Whether the centre of canvas pixel (px, py), scaled back, is in the
// polygon or ellipse.
bool CentreIn(const PictureShape& s, double scale, int px, int py)
{
    const double cx = (px + 0.5) / scale, cy = (py + 0.5) / scale;
    return s.kind == PictureShape::kPoly ? InsidePoly(s, cx, cy) : InsideEllipse(s, cx, cy);
}

// Which pixels have their centre in the shape, over the canvas pixels that
// can be: the shape's scaled box and a pixel around it, clipped to the
// canvas, and margin pixels more on each side, unclipped.
struct Coverage {
    int left, top, right, bottom;  // the cells on the canvas
    int margin;
    int stride;
    std::vector<uint8_t> in;

    bool At(int px, int py) const
    {
        return in[static_cast<size_t>(py - top + margin) * stride + (px - left + margin)];
    }
};

Coverage Cover(const PictureCanvas& c, const PictureShape& s, int margin)
{
    const double scale = Scale(c);
    Coverage v;
    v.top = std::max(0, static_cast<int>(s.box[1] * scale) - 1);
    v.bottom = std::max(v.top, std::min(c.height, static_cast<int>(s.box[3] * scale) + 2));
    v.left = std::max(0, static_cast<int>(s.box[0] * scale) - 1);
    v.right = std::max(v.left, std::min(c.width, static_cast<int>(s.box[2] * scale) + 2));
    v.margin = margin;
    v.stride = v.right - v.left + 2 * margin;
    v.in.resize(static_cast<size_t>(v.stride) * (v.bottom - v.top + 2 * margin));
    // A rectangle's pixel is in when its row and its column are; other
    // shapes are asked pixel by pixel.
    const bool rect = s.kind == PictureShape::kRect;
    size_t at = 0;
    for (int py = v.top - margin; py < v.bottom + margin; ++py) {
        const bool row = CentreWithin(py, scale, s.y[0], s.y[1]);
        for (int px = v.left - margin; px < v.right + margin; ++px)
            v.in[at++] = rect ? row && CentreWithin(px, scale, s.x[0], s.x[1]) : CentreIn(s, scale, px, py);
    }
    return v;
}

// A pen-sized block with its top-left corner at (px, py).
void Stamp(PictureCanvas& c, int px, int py, uint8_t colour)
{
    for (int y = std::max(0, py); y < std::min(c.height, py + c.pen); ++y)
        for (int x = std::max(0, px); x < std::min(c.width, px + c.pen); ++x)
            c.pixels[static_cast<size_t>(y) * c.width + x] = colour;
}

// A pixel of the shape with one outside within pen pixels straight across
// or down.
bool OnBorder(const Coverage& v, int px, int py, int pen)
{
    for (int k = 1; k <= pen; ++k)
        if (!v.At(px + k, py) || !v.At(px - k, py) || !v.At(px, py + k) || !v.At(px, py - k))
            return true;
    return false;
}

} // namespace

PictureShape SM_Rect(int x0, int y0, int x1, int y1)
{
    return {PictureShape::kRect, 0, {x0, x1, 0, 0}, {y0, y1, 0, 0}, {x0, y0, x1, y1}};
}

PictureShape SM_Poly(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3)
{
    return {PictureShape::kPoly,
            4,
            {x0, x1, x2, x3},
            {y0, y1, y2, y3},
            {std::min({x0, x1, x2, x3}), std::min({y0, y1, y2, y3}), std::max({x0, x1, x2, x3}),
             std::max({y0, y1, y2, y3})}};
}

PictureShape SM_Ellipse(int cx, int cy, int rx, int ry)
{
    return {PictureShape::kEllipse, 0, {cx, rx, 0, 0}, {cy, ry, 0, 0}, {cx - rx, cy - ry, cx + rx, cy + ry}};
}

PictureCanvas SM_NewCanvas(int width, int height, uint8_t fill, int dpi)
{
    PictureCanvas c;
    c.dpi = dpi;
    c.pen = std::max(1, SM_ScaleToDpi(1, dpi));
    c.width = SM_ScaleToDpi(width, dpi);
    c.height = SM_ScaleToDpi(height, dpi);
    c.pixels.assign(static_cast<size_t>(c.width) * c.height, fill);
    c.parts.assign(c.pixels.size(), 0);
    return c;
}

void SM_FillShape(PictureCanvas& c, const PictureShape& shape, uint8_t colour, uint8_t part, int edge)
{
    const Coverage v = Cover(c, shape, edge < 0 ? 0 : c.pen);
    for (int py = v.top; py < v.bottom; ++py) {
        for (int px = v.left; px < v.right; ++px) {
            if (!v.At(px, py))
                continue;
            const size_t at = static_cast<size_t>(py) * c.width + px;
            c.pixels[at] = colour;
            if (part)
                c.parts[at] = part;
            if (edge >= 0 && OnBorder(v, px, py, c.pen))
                c.pixels[at] = static_cast<uint8_t>(edge);
        }
    }
}

void SM_DrawLine(PictureCanvas& c, int x0, int y0, int x1, int y1, uint8_t colour)
{
    x0 = SM_ScaleToDpi(x0, c.dpi);
    y0 = SM_ScaleToDpi(y0, c.dpi);
    x1 = SM_ScaleToDpi(x1, c.dpi);
    y1 = SM_ScaleToDpi(y1, c.dpi);
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Stamp(c, x0, y0, colour);
        if (x0 == x1 && y0 == y1)
            return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}
