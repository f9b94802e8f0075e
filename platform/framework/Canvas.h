// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include <QImage>
#include <QPainter>
#include <QRegion>

#include "platform/framework/Color.h"
#include "platform/framework/Font.h"
#include "platform/framework/PenBrush.h"
#include "platform/framework/PixelGrid.h"
#include "platform/framework/Types.h"

class TBitmap;

// A drawing surface over an image with the raster rules the widgets are written for:
// integer coordinates, no antialiasing; rectangles and ellipses given by two corners cover
// Left..Right-1 × Top..Bottom-1 including the pen; a line ends one pixel short of its end
// point; pies and arcs run counter-clockwise from the radial through the first point to the
// radial through the second; text is placed by its top-left corner.
//
// Coordinates are logical pixels. An image of a higher device pixel ratio (a screen scaled
// to 150 % or 200 %) is drawn at its own resolution, and the rules above hold for the
// logical pixels: a rectangle from (1, 1) to (3, 3) covers the device pixels of the logical
// pixels 1 and 2 in each direction, and a one-pixel line covers the device pixels of the
// logical pixels it would cover at a ratio of 1, its edges finer. Pixel copies copy device
// pixels one to one.
//
// The painter on the target is opened on the first drawing and stays open until Release
// (or a read of the pixels), so a long run of small shapes costs one painter set-up.
class TCanvas {
public:
    explicit TCanvas(QImage* Target = nullptr);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // A target whose logical size is its device size divided by its device pixel ratio.
    void SetTarget(QImage* Target);
    // A target of the logical size Size, laid on the device pixels by Grid.
    void SetTarget(QImage* Target, TSize Size, const TPixelGrid& Grid);
    QImage* Target() const { return FTarget; }
    const TPixelGrid& Grid() const { return FGrid; }
    // The logical size of the target.
    TSize Size() const { return FSize; }
    // Ends the open painter so the image may be read or resized.
    void Release();

    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }

    TPoint PenPos() const { return FPenPos; }
    void MoveTo(int X, int Y);
    // Draws from the pen position to (X, Y), leaving out (X, Y) itself.
    void LineTo(int X, int Y);
    void Polyline(std::span<const TPoint> Points);
    void Polygon(std::span<const TPoint> Points);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    // Fills R with the brush, without the pen.
    void FillRect(const TRect& R);
    // Outlines R one pixel wide in the brush colour.
    void FrameRect(const TRect& R);

    // Text with its top-left corner at (X, Y), in the font's colour; a solid brush first
    // fills the text box.
    void TextOut(int X, int Y, const std::string& Text);
    int TextWidth(const std::string& Text) const;
    // Ascent plus descent of the font.
    int TextHeight(const std::string& Text) const;
    TSize TextExtent(const std::string& Text) const;

    // Pixel copies: the source replaces what is under it, alpha included. Device pixels are
    // copied one to one when source and target have the same size in them, as a bitmap that
    // covers the same area of this canvas has (TBitmap::Cover); otherwise the source is
    // stretched.
    void Draw(int X, int Y, const TBitmap& Source);
    void StretchDraw(const TRect& R, const TBitmap& Source);
    void CopyRect(const TRect& Dest, TCanvas& Source, const TRect& SourceRect);

    TColor Pixel(int X, int Y);
    void SetPixel(int X, int Y, TColor Color);

    // The bounding box of the area drawing reaches: the image, narrowed by any clip.
    TRect ClipRect() const;
    void SetClipRect(const TRect& R);
    void SetClipRegion(const QRegion& Region);
    void ResetClip();
    std::optional<QRegion> ClipRegion() const { return FClip; }

    // Called with the box of every drawing (a surface that shows the image blits it).
    std::function<void(const TRect&)> OnDrawn;

private:
    QPainter& Painter();
    // The painter's transform from logical coordinates, or from the centres of the logical
    // pixels, to the image (beyond the ratio, which Qt's painter applies itself).
    QTransform Placement(bool centred) const;
    // Whether coordinates name pixel centres: shapes with a one-pixel pen are drawn there at
    // ratios other than 1 (at 1, Qt's one-pixel pen does that itself).
    void SetCentred(QPainter& p, bool centred);
    bool OnePixelPen() const { return FPen.Style != psClear && FPen.Width <= 1; }
    void ApplyPen(QPainter& p, bool lines) const;
    void ApplyBrush(QPainter& p) const;
    void Drawn(const TRect& R);
    // Copies the device pixels sourceRect of source into dest, the device pixels of Dest.
    void CopyDevicePixels(const TRect& Dest, const QRect& dest, const QImage& source, const QRect& sourceRect);
    void PieOrArc(bool pie, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);

    QImage* FTarget = nullptr;
    TSize FSize;
    TPixelGrid FGrid;
    std::unique_ptr<QPainter> FPainter;
    bool FCentred = false;
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    TPoint FPenPos;
    std::optional<QRegion> FClip;
};

// The three-dimensional frame: Width rings, each with TopColor along its left and top sides
// and BottomColor along its right and bottom sides; R moves inwards by Width.
void Frame3D(TCanvas& Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width);

// Colour conversions between TColor and Qt.
QColor ToQColor(TColor Color);
TColor FromQRgb(QRgb Rgb);
