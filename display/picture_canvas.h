// The canvas the status dialog's pictures are drawn on, and the rule of
// inking that makes every scale of a picture from the same shapes: shapes
// are given in the pixels of the 96-DPI picture, and a pixel of a larger
// canvas is filled when its centre, scaled back, falls inside the shape.
// Outlines and lines are one pen wide; the pen grows with the scale
// (2 pixels from 144 DPI on, 3 from 240 DPI).
#pragma once

#include <cstdint>
#include <vector>

// A shape: a rectangle, a polygon with corners on pixel corners, or an
// ellipse; with its bounding box, all in 96-DPI pixels.
struct PictureShape {
    enum Kind : uint8_t { kRect, kPoly, kEllipse } kind;
    int count;         // corners of a polygon
    int x[4];          // rectangle: x0, x1; polygon: corners; ellipse: cx, rx
    int y[4];          // rectangle: y0, y1; polygon: corners; ellipse: cy, ry
    int box[4];        // x0, y0, x1, y1
};

PictureShape SM_Rect(int x0, int y0, int x1, int y1);  // pixels x0..x1-1, y0..y1-1
PictureShape SM_Poly(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3);
PictureShape SM_Ellipse(int cx, int cy, int rx, int ry);

// Palette indices and, for each pixel, the part of the printer drawn there
// (0: none), top row first.
struct PictureCanvas {
    int dpi;
    int pen;
    int width;
    int height;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> parts;
};

// A canvas for a picture of width x height 96-DPI pixels, at the DPI.
PictureCanvas SM_NewCanvas(int width, int height, uint8_t fill, int dpi);

// Fills the shape, labelling its pixels with part unless part is 0, and
// unless edge is negative draws its outline in colour edge: the shape's own
// border pixels, those with a pixel outside within the pen's width straight
// across or down.
void SM_FillShape(PictureCanvas& c, const PictureShape& shape, uint8_t colour, uint8_t part = 0, int edge = -1);
// A line between two 96-DPI points, drawn with a square pen.
void SM_DrawLine(PictureCanvas& c, int x0, int y0, int x1, int y1, uint8_t colour);
