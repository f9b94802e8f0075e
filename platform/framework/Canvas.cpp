// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/Canvas.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

#include <QFontMetrics>
#include <QPainterPath>
#include <QString>

#include "platform/framework/Bitmap.h"

QColor ToQColor(TColor Color)
{
    const TColor c = ColorToRGB(Color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor FromQRgb(QRgb Rgb)
{
    return RGB(qRed(Rgb), qGreen(Rgb), qBlue(Rgb));
}

namespace {

// Qt draws glyphs taller than this many device pixels from their outlines, antialiased
// whatever the painter's hints say (a 40-pixel readout at 200 %); text that large is filled
// from its outlines here, without antialiasing, as all the canvas draws.
constexpr int kLargestCachedGlyph = 64;

QString ToQString(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The box X1..X2-1 × Y1..Y2-1, pen included, as Qt's stroked rectangle (which adds one).
QRect StrokeBox(int X1, int Y1, int X2, int Y2)
{
    if (X2 < X1)
        std::swap(X1, X2);
    if (Y2 < Y1)
        std::swap(Y1, Y2);
    return QRect(X1, Y1, X2 - X1 - 1, Y2 - Y1 - 1);
}

// A box given by two corners that covers no pixel: nothing is drawn for it.
bool EmptyBox(int X1, int Y1, int X2, int Y2)
{
    return X1 == X2 || Y1 == Y2;
}

TRect Normalised(int X1, int Y1, int X2, int Y2, int margin)
{
    return {std::min(X1, X2) - margin, std::min(Y1, Y2) - margin, std::max(X1, X2) + margin + 1,
            std::max(Y1, Y2) + margin + 1};
}

TRect BoundsOf(std::span<const TPoint> Points, int margin)
{
    TRect r{Points[0].x, Points[0].y, Points[0].x, Points[0].y};
    for (const TPoint& p : Points) {
        r.Left = std::min(r.Left, p.x);
        r.Top = std::min(r.Top, p.y);
        r.Right = std::max(r.Right, p.x);
        r.Bottom = std::max(r.Bottom, p.y);
    }
    return Normalised(r.Left, r.Top, r.Right, r.Bottom, margin);
}

// Angle in degrees (counter-clockwise from 3 o'clock) of the radial through p, in the
// ellipse's own parameter, which is what Qt's arcs take.
double RadialAngle(const QRectF& box, int x, int y)
{
    const QPointF c = box.center();
    const double rx = std::max(box.width() / 2.0, 0.5);
    const double ry = std::max(box.height() / 2.0, 0.5);
    return std::atan2(-(y - c.y()) / ry, (x - c.x()) / rx) * 180.0 / std::numbers::pi;
}

// Draws the line from a to b with a flat cap, with its start pixel and without its end pixel.
// Qt's aliased lines choose their end pixels by position, not by direction: a one-pixel line
// always leaves out the end with the larger coordinate along its main axis, a wide one the
// end whose pixel centre (half a pixel right of and below the point) lies outside its band.
// Lines that would lose their start that way are drawn so that they keep it.
void DrawLineKeepingStart(QPainter& p, QPoint a, QPoint b, int width, const QRect& area)
{
    const int dx = b.x() - a.x();
    const int dy = b.y() - a.y();
    if (width <= 1) {
        const bool alongX = std::abs(dx) >= std::abs(dy);
        if (alongX ? dx >= 0 : dy >= 0) {
            p.drawLine(a, b);
            return;
        }
        // The same pixels as from b to a, one per step, without b's and with a's.
        QRect keep = area;
        if (alongX)
            keep.setLeft(b.x() + 1);
        else
            keep.setTop(b.y() + 1);
        p.save();
        p.setClipRect(keep, Qt::IntersectClip);
        p.drawLine(a, b);
        p.restore();
        p.drawPoint(a);
        return;
    }
    const double length = std::hypot(dx, dy);
    const double startCentre = (dx + dy) / (2 * length);  // where a's pixel centre lies along the band
    if (startCentre > 0) {
        p.drawLine(a, b);
        return;
    }
    // Moved back along itself until a's pixel centre lies half a pixel inside the band.
    const double back = (0.5 - startCentre) / length;
    p.drawLine(QLineF(a.x() - dx * back, a.y() - dy * back, b.x() - dx * back, b.y() - dy * back));
}

// The line from a to b at a device pixel ratio other than 1, drawn as the band it stands for:
// along the line from its start pixel up to its end pixel, which it leaves out; across it on
// the pixel centres for a one-pixel pen and centred on the coordinates for a wider one, as
// Qt's aliased lines lie at a ratio of 1.
void DrawBand(QPainter& p, QPoint a, QPoint b, int width)
{
    const QPointF d(b - a);
    const QPointF u = d / std::hypot(d.x(), d.y());
    const QPointF centre(0.5, 0.5);
    const QPointF along = width <= 1 ? centre : u * QPointF::dotProduct(u, centre);
    const QPointF shift = along - u / 2;
    p.drawLine(QLineF(QPointF(a) + shift, QPointF(b) + shift));
}

// The device rectangles of a region given in logical pixels.
QRegion ToDevice(const TPixelGrid& grid, const QRegion& logical)
{
    if (grid.IsIdentity())
        return logical;
    QRegion device;
    for (const QRect& r : logical)
        device += grid.ToDevice({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
    return device;
}

}  // namespace

TCanvas::TCanvas(QImage* Target)
{
    SetTarget(Target);
}

TCanvas::~TCanvas()
{
    Release();
}

void TCanvas::SetTarget(QImage* Target)
{
    TPixelGrid grid;
    TSize size;
    if (Target && !Target->isNull()) {
        grid.Ratio = Target->devicePixelRatio();
        size = {static_cast<int>(std::lround(Target->width() / grid.Ratio)),
                static_cast<int>(std::lround(Target->height() / grid.Ratio))};
    }
    SetTarget(Target, size, grid);
}

void TCanvas::SetTarget(QImage* Target, TSize Size, const TPixelGrid& Grid)
{
    Release();
    FTarget = Target;
    FSize = Size;
    FGrid = Grid;
    if (FTarget && !FTarget->isNull())
        FTarget->setDevicePixelRatio(Grid.Ratio);  // so that Qt's painter scales by it
}

void TCanvas::Release()
{
    if (FPainter) {
        FPainter->end();
        FPainter.reset();
    }
}

QPainter& TCanvas::Painter()
{
    if (!FPainter) {
        FPainter = std::make_unique<QPainter>();
        if (FTarget && !FTarget->isNull())
            FPainter->begin(FTarget);
        if (FPainter->isActive()) {
            FPainter->setRenderHint(QPainter::Antialiasing, false);
            FPainter->setRenderHint(QPainter::TextAntialiasing, false);
            FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
            FCentred = false;
            if (!FGrid.IsIdentity())
                FPainter->setWorldTransform(Placement(false));
            if (FClip)
                FPainter->setClipRegion(*FClip);
        }
    }
    return *FPainter;
}

QTransform TCanvas::Placement(bool centred) const
{
    // Qt's painter scales by the image's ratio itself; what is left is the grid's origin.
    const double half = centred ? 0.5 : 0.0;
    return QTransform::fromTranslate(FGrid.Origin.x() / FGrid.Ratio + half, FGrid.Origin.y() / FGrid.Ratio + half);
}

void TCanvas::SetCentred(QPainter& p, bool centred)
{
    if (FGrid.IsIdentity() || centred == FCentred)
        return;
    FCentred = centred;
    p.setWorldTransform(Placement(centred));
}

void TCanvas::ApplyPen(QPainter& p, bool lines) const
{
    if (FPen.Style == psClear) {
        p.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(FPen.Color));
    pen.setWidth(std::max(1, FPen.Width));
    pen.setCapStyle(lines ? Qt::FlatCap : Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (FPen.Style) {
    case psDash: pen.setStyle(Qt::DashLine); break;
    case psDot: pen.setStyle(Qt::DotLine); break;
    case psDashDot: pen.setStyle(Qt::DashDotLine); break;
    case psDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: pen.setStyle(Qt::SolidLine); break;
    }
    p.setPen(pen);
}

void TCanvas::ApplyBrush(QPainter& p) const
{
    if (FBrush.Style == bsClear)
        p.setBrush(Qt::NoBrush);
    else
        p.setBrush(ToQColor(FBrush.Color));
}

void TCanvas::Drawn(const TRect& R)
{
    if (OnDrawn)
        OnDrawn(R);
}

void TCanvas::MoveTo(int X, int Y)
{
    FPenPos = {X, Y};
}

void TCanvas::LineTo(int X, int Y)
{
    const TPoint from = FPenPos;
    FPenPos = {X, Y};
    QPainter& p = Painter();
    if (!p.isActive() || FPen.Style == psClear || from == FPenPos)
        return;
    ApplyPen(p, true);
    p.setBrush(Qt::NoBrush);
    if (FGrid.IsIdentity()) {
        DrawLineKeepingStart(p, QPoint(from.x, from.y), QPoint(X, Y), FPen.Width, FTarget->rect());
    } else {
        SetCentred(p, false);
        DrawBand(p, QPoint(from.x, from.y), QPoint(X, Y), FPen.Width);
    }
    Drawn(Normalised(from.x, from.y, X, Y, FPen.Width));
}

void TCanvas::Polyline(std::span<const TPoint> Points)
{
    if (Points.empty())
        return;
    MoveTo(Points[0].x, Points[0].y);
    for (size_t i = 1; i < Points.size(); ++i)
        LineTo(Points[i].x, Points[i].y);
}

void TCanvas::Polygon(std::span<const TPoint> Points)
{
    if (Points.size() < 2)
        return;
    QPainter& p = Painter();
    if (!p.isActive())
        return;
    QPolygon poly;
    for (const TPoint& pt : Points)
        poly << QPoint(pt.x, pt.y);
    ApplyPen(p, false);
    ApplyBrush(p);
    SetCentred(p, OnePixelPen());
    p.drawPolygon(poly, Qt::OddEvenFill);
    Drawn(BoundsOf(Points, FPen.Width));
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    if (EmptyBox(X1, Y1, X2, Y2))
        return;
    QPainter& p = Painter();
    if (!p.isActive())
        return;
    ApplyBrush(p);
    if (FPen.Style == psClear) {
        // Without a pen the filled area is one pixel smaller at the right and bottom.
        p.setPen(Qt::NoPen);
        SetCentred(p, false);
        p.drawRect(StrokeBox(X1, Y1, X2, Y2));
    } else if (FPen.Width <= 1) {
        const QRect box = StrokeBox(X1, Y1, X2, Y2);
        if (box.width() == 0 || box.height() == 0) {
            // One pixel wide or high: all of it is pen.
            SetCentred(p, false);
            p.fillRect(QRect(box.left(), box.top(), box.width() + 1, box.height() + 1), ToQColor(FPen.Color));
        } else {
            ApplyPen(p, false);
            SetCentred(p, true);
            p.drawRect(box);
        }
    } else {
        // A wide pen straddles the outline inside the box.
        ApplyPen(p, false);
        SetCentred(p, false);
        const int w = FPen.Width;
        const QRect inner = StrokeBox(X1, Y1, X2, Y2).adjusted(w / 2, w / 2, -(w - 1) / 2, -(w - 1) / 2);
        p.drawRect(inner);
    }
    Drawn(Normalised(X1, Y1, X2, Y2, 0));
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    if (EmptyBox(X1, Y1, X2, Y2))
        return;
    QPainter& p = Painter();
    if (!p.isActive())
        return;
    ApplyPen(p, false);
    ApplyBrush(p);
    SetCentred(p, OnePixelPen());
    p.drawEllipse(StrokeBox(X1, Y1, X2, Y2));
    Drawn(Normalised(X1, Y1, X2, Y2, FPen.Width));
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    if (EmptyBox(X1, Y1, X2, Y2))
        return;
    QPainter& p = Painter();
    if (!p.isActive())
        return;
    ApplyPen(p, false);
    ApplyBrush(p);
    SetCentred(p, OnePixelPen());
    p.drawRoundedRect(StrokeBox(X1, Y1, X2, Y2), X3 / 2.0, Y3 / 2.0);
    Drawn(Normalised(X1, Y1, X2, Y2, FPen.Width));
}

void TCanvas::PieOrArc(bool pie, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    if (EmptyBox(X1, Y1, X2, Y2))
        return;
    QPainter& p = Painter();
    if (!p.isActive())
        return;
    const QRect box = StrokeBox(X1, Y1, X2, Y2);
    const QRectF boxF(box);
    const double a0 = RadialAngle(boxF, X3, Y3);
    const double a1 = RadialAngle(boxF, X4, Y4);
    double span = std::fmod(a1 - a0, 360.0);
    if (span <= 0)
        span += 360.0;  // coinciding radials give the whole ellipse
    ApplyPen(p, !pie);
    SetCentred(p, OnePixelPen());
    const int start16 = static_cast<int>(std::lround(a0 * 16));
    const int span16 = static_cast<int>(std::lround(span * 16));
    if (pie) {
        ApplyBrush(p);
        p.drawPie(box, start16, span16);
    } else {
        p.setBrush(Qt::NoBrush);
        p.drawArc(box, start16, span16);
    }
    Drawn(Normalised(X1, Y1, X2, Y2, FPen.Width));
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    PieOrArc(true, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    PieOrArc(false, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TCanvas::FillRect(const TRect& R)
{
    if (R.IsEmpty())
        return;
    QPainter& p = Painter();
    if (!p.isActive() || FBrush.Style == bsClear)
        return;
    SetCentred(p, false);
    p.fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), ToQColor(FBrush.Color));
    Drawn(R);
}

void TCanvas::FrameRect(const TRect& R)
{
    if (R.IsEmpty())
        return;
    QPainter& p = Painter();
    if (!p.isActive())
        return;
    const QColor c = ToQColor(FBrush.Color);
    SetCentred(p, false);
    p.fillRect(QRect(R.Left, R.Top, R.Width(), 1), c);
    p.fillRect(QRect(R.Left, R.Bottom - 1, R.Width(), 1), c);
    p.fillRect(QRect(R.Left, R.Top, 1, R.Height()), c);
    p.fillRect(QRect(R.Right - 1, R.Top, 1, R.Height()), c);
    Drawn(R);
}

void TCanvas::TextOut(int X, int Y, const std::string& Text)
{
    QPainter& p = Painter();
    if (!p.isActive() || Text.empty()) {
        FPenPos = {X + TextWidth(Text), Y};
        return;
    }
    // Number texts come from the font's glyphs; anything else goes through Qt's layout.
    TGlyphCache& glyphs = FFont.Glyphs();
    const std::optional<TGlyphCache::Text> laid = glyphs.Layout(Text);
    const QFont font = FFont.ToQFont();
    const QString text = laid ? QString() : ToQString(Text);
    const int w = laid ? laid->Width : QFontMetrics(font).horizontalAdvance(text);
    const int h = glyphs.Height();
    const QPointF baseline(X, Y + glyphs.Ascent());
    SetCentred(p, false);
    if (FBrush.Style != bsClear)
        p.fillRect(QRect(X, Y, w, h), ToQColor(FBrush.Color));
    const QColor colour = ToQColor(FFont.Color());
    if (font.pixelSize() * FGrid.Ratio > kLargestCachedGlyph) {
        QPainterPath outline;
        if (laid)
            outline = glyphs.Outline(Text, baseline);
        else
            outline.addText(baseline, font, text);
        p.fillPath(outline, colour);
    } else {
        p.setPen(colour);
        if (laid) {
            p.drawGlyphRun(baseline, laid->Run);
        } else {
            p.setFont(font);
            p.drawText(baseline, text);
        }
    }
    Drawn({X - 2, Y, X + w + 2, Y + h});
    FPenPos = {X + w, Y};
}

int TCanvas::TextWidth(const std::string& Text) const
{
    if (const std::optional<int> w = FFont.Glyphs().Width(Text))
        return *w;
    return QFontMetrics(FFont.ToQFont()).horizontalAdvance(ToQString(Text));
}

int TCanvas::TextHeight(const std::string&) const
{
    return FFont.Glyphs().Height();
}

TSize TCanvas::TextExtent(const std::string& Text) const
{
    return {TextWidth(Text), TextHeight(Text)};
}

void TCanvas::CopyDevicePixels(const TRect& Dest, const QRect& dest, const QImage& source, const QRect& sourceRect)
{
    if (!FTarget || FTarget->isNull() || dest.isEmpty() || sourceRect.isEmpty() || source.isNull())
        return;
    // The pixels to copy, one to one in the target's format.
    QImage converted;
    const QImage* from = &source;
    QRect src = sourceRect;
    if (dest.size() != sourceRect.size() || source.format() != FTarget->format() || &source == FTarget) {
        converted = source.copy(sourceRect);
        if (converted.size() != dest.size())
            converted = converted.scaled(dest.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        converted.convertTo(FTarget->format());
        from = &converted;
        src = converted.rect();
    }
    // A source's painter may stay open: Qt's raster painter draws straight into the image.
    const QRect inside = dest & FTarget->rect() & (src & from->rect()).translated(dest.topLeft() - src.topLeft());
    if (inside.isEmpty())
        return;
    if (FPainter && !FTarget->isDetached())
        Release();  // the copy below gets pixels of its own, which an open painter would miss
    const int bytes = FTarget->depth() / 8;
    const qsizetype line = FTarget->bytesPerLine();
    uchar* bits = FTarget->bits();
    const auto copy = [&](const QRect& r) {
        const QPoint at = r.topLeft() - dest.topLeft() + src.topLeft();
        for (int y = 0; y < r.height(); ++y)
            std::memcpy(bits + (r.top() + y) * line + r.left() * bytes,
                        from->constScanLine(at.y() + y) + at.x() * bytes, static_cast<size_t>(r.width() * bytes));
    };
    if (FClip) {
        for (const QRect& r : QRegion(inside) & ToDevice(FGrid, *FClip))
            copy(r);
    } else {
        copy(inside);
    }
    Drawn(Dest);
}

void TCanvas::Draw(int X, int Y, const TBitmap& Source)
{
    const TRect dest{X, Y, X + Source.Width(), Y + Source.Height()};
    if (const QImage* img = Source.Canvas().FTarget)
        CopyDevicePixels(dest, FGrid.ToDevice(dest), *img, img->rect());
}

void TCanvas::StretchDraw(const TRect& R, const TBitmap& Source)
{
    if (const QImage* img = Source.Canvas().FTarget)
        CopyDevicePixels(R, FGrid.ToDevice(R), *img, img->rect());
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas& Source, const TRect& SourceRect)
{
    if (Source.FTarget)
        CopyDevicePixels(Dest, FGrid.ToDevice(Dest), *Source.FTarget, Source.FGrid.ToDevice(SourceRect));
}

TColor TCanvas::Pixel(int X, int Y)
{
    Release();
    if (!FTarget)
        return clNone;
    const int x = FGrid.EdgeX(X);  // the first device pixel of the logical one
    const int y = FGrid.EdgeY(Y);
    if (X < 0 || Y < 0 || X >= FSize.cx || Y >= FSize.cy || !FTarget->valid(x, y))
        return clNone;
    return FromQRgb(FTarget->pixel(x, y));
}

void TCanvas::SetPixel(int X, int Y, TColor Color)
{
    QPainter& p = Painter();
    if (!p.isActive())
        return;
    SetCentred(p, false);
    p.fillRect(QRect(X, Y, 1, 1), ToQColor(Color));
    Drawn({X, Y, X + 1, Y + 1});
}

TRect TCanvas::ClipRect() const
{
    if (!FTarget)
        return {};
    QRect r(0, 0, FSize.cx, FSize.cy);
    if (FClip)
        r = r.intersected(FClip->boundingRect());
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void TCanvas::SetClipRect(const TRect& R)
{
    SetClipRegion(QRegion(R.Left, R.Top, R.Width(), R.Height()));
}

void TCanvas::SetClipRegion(const QRegion& Region)
{
    FClip = Region;
    if (FPainter && FPainter->isActive()) {
        SetCentred(*FPainter, false);  // the region is in logical pixels
        FPainter->setClipRegion(Region);
    }
}

void TCanvas::ResetClip()
{
    FClip.reset();
    if (FPainter && FPainter->isActive())
        FPainter->setClipping(false);
}

void Frame3D(TCanvas& Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width)
{
    const TBrush saved = Canvas.Brush();
    Canvas.Brush().Style = bsSolid;
    for (; Width > 0; --Width) {
        const int w = R.Width();
        const int h = R.Height();
        if (w > 0 && h > 0) {
            // Left column and top row, short of the far corners...
            Canvas.Brush().Color = TopColor;
            Canvas.FillRect({R.Left, R.Top, R.Right - 1, R.Top + 1});
            Canvas.FillRect({R.Left, R.Top, R.Left + 1, R.Bottom - 1});
            // ...which belong to the right column and bottom row.
            Canvas.Brush().Color = BottomColor;
            Canvas.FillRect({R.Right - 1, R.Top, R.Right, R.Bottom});
            Canvas.FillRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
        }
        InflateRect(R, -1, -1);
    }
    Canvas.Brush() = saved;
}
