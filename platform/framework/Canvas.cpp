// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/Canvas.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include <QFontMetrics>
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

}  // namespace

TCanvas::TCanvas(QImage* Target) : FTarget(Target) {}

TCanvas::~TCanvas()
{
    Release();
}

void TCanvas::SetTarget(QImage* Target)
{
    Release();
    FTarget = Target;
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
            if (FClip)
                FPainter->setClipRegion(*FClip);
        }
    }
    return *FPainter;
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
    DrawLineKeepingStart(p, QPoint(from.x, from.y), QPoint(X, Y), FPen.Width, FTarget->rect());
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
        p.drawRect(StrokeBox(X1, Y1, X2, Y2));
    } else if (FPen.Width <= 1) {
        const QRect box = StrokeBox(X1, Y1, X2, Y2);
        if (box.width() == 0 || box.height() == 0) {
            // One pixel wide or high: all of it is pen.
            p.fillRect(QRect(box.left(), box.top(), box.width() + 1, box.height() + 1), ToQColor(FPen.Color));
        } else {
            ApplyPen(p, false);
            p.drawRect(box);
        }
    } else {
        // A wide pen straddles the outline inside the box.
        ApplyPen(p, false);
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
    p.fillRect(QRect(R.Left, R.Top, R.Width(), 1), c);
    p.fillRect(QRect(R.Left, R.Bottom - 1, R.Width(), 1), c);
    p.fillRect(QRect(R.Left, R.Top, 1, R.Height()), c);
    p.fillRect(QRect(R.Right - 1, R.Top, 1, R.Height()), c);
    Drawn(R);
}

void TCanvas::TextOut(int X, int Y, const std::string& Text)
{
    QPainter& p = Painter();
    if (p.isActive() && !Text.empty()) {
        const QFont font = FFont.ToQFont();
        const QFontMetrics fm(font);
        const QString text = ToQString(Text);
        const int w = fm.horizontalAdvance(text);
        const int h = fm.ascent() + fm.descent();
        if (FBrush.Style != bsClear)
            p.fillRect(QRect(X, Y, w, h), ToQColor(FBrush.Color));
        p.setFont(font);
        p.setPen(ToQColor(FFont.Color()));
        p.drawText(X, Y + fm.ascent(), text);
        Drawn({X - 2, Y, X + w + 2, Y + h});
    }
    FPenPos = {X + TextWidth(Text), Y};
}

int TCanvas::TextWidth(const std::string& Text) const
{
    return QFontMetrics(FFont.ToQFont()).horizontalAdvance(ToQString(Text));
}

int TCanvas::TextHeight(const std::string&) const
{
    const QFontMetrics fm(FFont.ToQFont());
    return fm.ascent() + fm.descent();
}

TSize TCanvas::TextExtent(const std::string& Text) const
{
    return {TextWidth(Text), TextHeight(Text)};
}

void TCanvas::DrawImage(const QRect& dest, const QImage& source, const QRect& sourceRect)
{
    QPainter& p = Painter();
    if (!p.isActive() || dest.isEmpty())
        return;
    const auto mode = p.compositionMode();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(dest, source, sourceRect);
    p.setCompositionMode(mode);
    Drawn({dest.left(), dest.top(), dest.left() + dest.width(), dest.top() + dest.height()});
}

void TCanvas::Draw(int X, int Y, const TBitmap& Source)
{
    const QImage& img = Source.Image();
    DrawImage(QRect(X, Y, img.width(), img.height()), img, img.rect());
}

void TCanvas::StretchDraw(const TRect& R, const TBitmap& Source)
{
    const QImage& img = Source.Image();
    DrawImage(QRect(R.Left, R.Top, R.Width(), R.Height()), img, img.rect());
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas& Source, const TRect& SourceRect)
{
    if (!Source.FTarget)
        return;
    const QRect src(SourceRect.Left, SourceRect.Top, SourceRect.Width(), SourceRect.Height());
    const QRect dest(Dest.Left, Dest.Top, Dest.Width(), Dest.Height());
    if (&Source == this) {
        Release();
        const QImage copy = FTarget->copy(src);
        DrawImage(dest, copy, copy.rect());
        return;
    }
    Source.Release();
    DrawImage(dest, *Source.FTarget, src);
}

TColor TCanvas::Pixel(int X, int Y)
{
    Release();
    if (!FTarget || !FTarget->valid(X, Y))
        return clNone;
    return FromQRgb(FTarget->pixel(X, Y));
}

void TCanvas::SetPixel(int X, int Y, TColor Color)
{
    QPainter& p = Painter();
    if (!p.isActive())
        return;
    p.fillRect(QRect(X, Y, 1, 1), ToQColor(Color));
    Drawn({X, Y, X + 1, Y + 1});
}

TRect TCanvas::ClipRect() const
{
    if (!FTarget)
        return {};
    QRect r = FTarget->rect();
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
    if (FPainter && FPainter->isActive())
        FPainter->setClipRegion(Region);
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
