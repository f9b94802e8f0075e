// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/_AbProc.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <numbers>

int Round(long double X)
{
    if (std::isnan(X))
        return 0;
    const long double r = std::nearbyint(X);  // the default rounding mode: halves to even
    if (r >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (r <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(r);
}

int Trunc(long double X)
{
    if (std::isnan(X))
        return 0;
    const long double t = std::trunc(X);
    if (t >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (t <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(t);
}

TColor ColorMix(TColor ColorFrom, TColor ColorTo, int Steps, int Step)
{
    const TColor from = ColorToRGB(ColorFrom);
    const TColor to = ColorToRGB(ColorTo);
    if (from == to)
        return ColorFrom;
    if (Steps == 0)
        Steps = 1;
    auto mix = [&](int a, int b) {
        const int v = a + Round(static_cast<long double>(b - a) / Steps * Step);
        return ((v % 256) + 256) % 256;
    };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

namespace {

// The colours of a gradient's steps.
struct Ramp {
    int r, g, b;     // ColorFrom
    int dr, dg, db;  // ColorTo - ColorFrom

    TColor Rounded(long double i, int N) const
    {
        auto ch = [&](int base, int delta) { return ((base + Round(i * delta / N)) % 256 + 256) % 256; };
        return RGB(ch(r, dr), ch(g, dg), ch(b, db));
    }
    TColor Truncated(long double i, int N) const
    {
        auto ch = [&](int base, int delta) { return Trunc(base + i * delta / N); };
        return RGB(ch(r, dr), ch(g, dg), ch(b, db));
    }
};

void Line(TCanvas& c, int x1, int y1, int x2, int y2)
{
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

void SetPenBrush(TCanvas& c, TColor color)
{
    c.Pen().Color = color;
    c.Brush().Color = color;
}

// The three line styles along one axis: lines across the other axis at positions measured
// along this one. Horizontal styles pass the height as Length.
void AxisLines(TCanvas& c, const Ramp& ramp, TColor from, int style, int Length, int Across, bool vertical)
{
    auto line = [&](int pos) {
        if (vertical)
            Line(c, pos, 0, pos, Across);
        else
            Line(c, 0, pos, Across, pos);
    };
    if (style == 2) {
        const int N = std::max(1, Length / 2);
        const int p0 = N;
        c.Pen().Color = from;
        line(p0);
        for (int i = 1; i <= N; ++i) {
            c.Pen().Color = ramp.Rounded(i, N);
            line(p0 + i);
            line(p0 - i);
        }
    } else {
        const int N = std::max(1, Round(Length * 0.67L));
        const int p0 = Length / 3;
        c.Pen().Color = from;
        line(p0);
        for (int i = 1; i <= N; ++i) {
            c.Pen().Color = ramp.Rounded(i, N);
            line(p0 + i);
            if (p0 - i >= 0)
                line(p0 - i);
        }
    }
}

void Bands(TCanvas& c, const Ramp& ramp, int L, int Length, int Across, bool vertical)
{
    int N = std::max(1, std::min(L, Length));
    const int b = std::max(1, Length / N);
    N = std::max(1, Length / b);
    for (int i = 0; i <= N; ++i) {
        c.Brush().Color = ramp.Truncated(i, N);
        if (vertical)
            c.FillRect({i * b, 0, i * b + b, Across});
        else
            c.FillRect({0, i * b, Across, i * b + b});
    }
}

void Ellipses(TCanvas& c, const Ramp& ramp, int L, TPoint C, long double rx, long double ry)
{
    for (int i = L; i >= 1; --i) {
        SetPenBrush(c, ramp.Rounded(i, L));
        const int dx = Round(i * rx);
        const int dy = Round(i * ry);
        c.Ellipse(C.x - dx, C.y - dy, C.x + dx, C.y + dy);
    }
}

void Diamonds(TCanvas& c, const Ramp& ramp, TColor from, int N, TPoint C, long double rx, long double ry)
{
    for (int i = N; i >= 1; --i) {
        c.Pen().Color = ramp.Rounded(i, N);
        const int dx = Round(i * rx);
        const int dy = Round(i * ry);
        const std::array<TPoint, 5> pts{Point(C.x, C.y - dy), Point(C.x + dx, C.y), Point(C.x, C.y + dy),
                                        Point(C.x - dx, C.y), Point(C.x, C.y - dy)};
        c.Polyline(pts);
    }
    c.SetPixel(C.x, C.y, from);
}

void Corner(TCanvas& c, const Ramp& ramp, int W, int H, bool topLeft)
{
    const int M = std::max(1, std::max(W, H));
    const int N = M;
    const long double sx = static_cast<long double>(W) / M;
    const long double sy = static_cast<long double>(H) / M;
    for (int i = 0; i <= N; ++i) {
        const int Xi = Round(i * sx);
        const int Yi = Round(i * sy);
        c.Pen().Color = ramp.Rounded(i / 2.0L, N);
        if (topLeft)
            Line(c, 0, Yi, Xi, -1);
        else
            Line(c, W, Yi, W - Xi, -1);
        c.Pen().Color = ramp.Rounded(N - i / 2.0L, N);
        if (topLeft)
            Line(c, W, H - Yi, W - Xi, H);
        else
            Line(c, 0, H - Yi, Xi, H);
    }
}

}  // namespace

void DrawGradient(TCanvas& Canvas, const TRect& R, TColor ColorFrom, TColor ColorTo, TGradientStyle Style)
{
    const int W = R.Width();
    const int H = R.Height();
    if (W <= 0 || H <= 0)
        return;
    TBitmap bmp;
    bmp.Cover(Canvas, R);
    TCanvas& c = bmp.Canvas();
    const TColor from = ColorToRGB(ColorFrom);
    const TColor to = ColorToRGB(ColorTo);
    c.Pen().Width = 1;
    c.Brush().Style = bsSolid;
    if (from == to) {
        SetPenBrush(c, from);
        c.Rectangle(0, 0, W, H);
    } else {
        const Ramp ramp{GetRValue(from), GetGValue(from), GetBValue(from),
                        GetRValue(to) - GetRValue(from), GetGValue(to) - GetGValue(from),
                        GetBValue(to) - GetBValue(from)};
        const int L = std::max({1, std::abs(ramp.dr), std::abs(ramp.dg), std::abs(ramp.db)});
        const TPoint C{W / 2, H / 2};
        auto fillTo = [&] {
            SetPenBrush(c, to);
            c.Rectangle(0, 0, W, H);
        };
        switch (Style) {
        case gsHorizontal1: Bands(c, ramp, L, H, W, false); break;
        case gsHorizontal2: AxisLines(c, ramp, from, 2, H, W, false); break;
        case gsHorizontal3: AxisLines(c, ramp, from, 3, H, W, false); break;
        case gsVertical1: Bands(c, ramp, L, W, H, true); break;
        case gsVertical2: AxisLines(c, ramp, from, 2, W, H, true); break;
        case gsVertical3: AxisLines(c, ramp, from, 3, W, H, true); break;
        case gsElliptic1:
            fillTo();
            Ellipses(c, ramp, L, C, static_cast<long double>(W) / L / 2, static_cast<long double>(H) / L / 2);
            break;
        case gsElliptic2:
            fillTo();
            Ellipses(c, ramp, L, C, static_cast<long double>(W) / L * 0.695L, static_cast<long double>(H) / L * 0.695L);
            break;
        case gsElliptic3:
            fillTo();
            Ellipses(c, ramp, L, {C.x - W / 4 + 1, C.y - H / 4 + 1}, static_cast<long double>(W) / L * 0.82L,
                     static_cast<long double>(H) / L * 0.82L);
            break;
        case gsRectangle: {
            const long double rx = static_cast<long double>(W) / L / 2;
            const long double ry = static_cast<long double>(H) / L / 2;
            for (int i = L; i >= 0; --i) {
                SetPenBrush(c, ramp.Rounded(i, L));
                const int dx = Round(i * rx);
                const int dy = Round(i * ry);
                c.Rectangle(C.x - dx, C.y - dy, C.x + dx + 1, C.y + dy + 1);
            }
            break;
        }
        case gsDiamond1: {
            const int N = std::max(1, std::max(std::max(W, H) / 2, L));
            fillTo();
            Diamonds(c, ramp, from, N, C, static_cast<long double>(W) / N / 2, static_cast<long double>(H) / N / 2);
            break;
        }
        case gsDiamond2: {
            const int N = std::max(1, std::max(std::max(W, H), L));
            fillTo();
            Diamonds(c, ramp, from, N, C, static_cast<long double>(W) / N, static_cast<long double>(H) / N);
            break;
        }
        case gsTopLeft: Corner(c, ramp, W, H, true); break;
        case gsTopRight: Corner(c, ramp, W, H, false); break;
        }
    }
    Canvas.StretchDraw(R, bmp);
}

TPoint AnchoredTopLeft(int X, int Y, int Anchor, int w, int h)
{
    const int column = Anchor % 3;
    const int row = Anchor / 3;
    return {column == 0 ? X : column == 1 ? X - w / 2 : X - w, row == 0 ? Y : row == 1 ? Y - h / 2 : Y - h};
}

void TextOutAnchored(TCanvas& Canvas, int X, int Y, int Anchor, const std::string& Text)
{
    const TPoint p = AnchoredTopLeft(X, Y, Anchor, Canvas.TextWidth(Text), Canvas.TextHeight(Text));
    Canvas.TextOut(p.x, p.y, Text);
}

void TextOutLines(TCanvas& Canvas, int X, int Y, int Anchor, const std::string& Text, int LineGap)
{
    const int lineHeight = Canvas.TextHeight("X");
    const int block = CountChar(Text, '|') * (lineHeight + LineGap);
    if (Anchor >= 3 && Anchor <= 5)
        Y -= block / 2;
    else if (Anchor >= 6 && Anchor <= 8)
        Y -= block;
    std::string rest = Text;
    do {
        TextOutAnchored(Canvas, X, Y, Anchor, NextToken(rest, '|'));
        Y += lineHeight + LineGap;
    } while (!rest.empty());
}

int CountChar(const std::string& Text, char Ch)
{
    return static_cast<int>(std::count(Text.begin(), Text.end(), Ch));
}

std::string NextToken(std::string& S, char Separator)
{
    const size_t pos = S.find(Separator);
    std::string token;
    if (pos == std::string::npos) {
        token = std::move(S);
        S.clear();
    } else {
        token = S.substr(0, pos);
        S.erase(0, pos + 1);
    }
    return token;
}

TSize MeasureList(TCanvas& Canvas, const std::string& List)
{
    TSize size{0, Canvas.TextHeight(List)};
    std::string rest = List;
    // Every part counts, the one after the last separator too (an empty one measures 0).
    size_t start = 0;
    while (true) {
        const size_t pos = rest.find(';', start);
        const std::string part = rest.substr(start, pos == std::string::npos ? std::string::npos : pos - start);
        size.cx = std::max(size.cx, part.empty() ? 0 : Canvas.TextWidth(part));
        if (pos == std::string::npos)
            break;
        start = pos + 1;
    }
    return size;
}

void SaveBackground(TCanvas& Canvas, TBitmap& Bitmap, const TRect& R)
{
    const TRect I = IntersectRect(R, Canvas.ClipRect());
    if (I.Right < I.Left || I.Bottom < I.Top)
        return;
    Bitmap.Cover(Canvas, R);
    if (!I.IsEmpty())
        Bitmap.Canvas().CopyRect({I.Left - R.Left, I.Top - R.Top, I.Right - R.Left, I.Bottom - R.Top}, Canvas, I);
}

TPoint RectCenter(const TRect& R)
{
    return {R.Left + (R.Right - R.Left) / 2, R.Top + (R.Bottom - R.Top) / 2};
}

void ShrinkRect(TRect& R, int N)
{
    InflateRect(R, -N, -N);
}

TRotation::TRotation(TPoint Center, bool Clockwise, float Angle) : FCenter(Center), FClockwise(Clockwise)
{
    const float a = static_cast<float>(Angle * std::numbers::pi_v<long double> / 180);
    FCos = std::cos(static_cast<long double>(a));
    FSin = std::sin(static_cast<long double>(a));
}

TPoint TRotation::operator()(TPoint P) const
{
    const long double dx = P.x - FCenter.x;
    const long double dy = P.y - FCenter.y;
    if (FClockwise)
        return {FCenter.x + Round(dx * FCos - dy * FSin), FCenter.y + Round(dy * FCos + dx * FSin)};
    return {FCenter.x + Round(dx * FCos + dy * FSin), FCenter.y + Round(dy * FCos - dx * FSin)};
}

TPoint RotatePoint(TPoint P, TPoint Center, bool Clockwise, float Angle)
{
    return TRotation(Center, Clockwise, Angle)(P);
}

void DrawPie(TCanvas& Canvas, const TRect& R, float StartAngle, float Sweep)
{
    const TPoint C = RectCenter(R);
    const TPoint P0{C.x, R.Top};
    const TPoint P1 = RotatePoint(P0, C, true, StartAngle);
    const TPoint P2 = RotatePoint(P1, C, true, Sweep);
    Canvas.Pie(R.Left, R.Top, R.Right, R.Bottom, P2.x, P2.y, P1.x, P1.y);
}

std::span<const TPoint> RotatePolygon(std::span<const TPoint> Source, bool Clockwise, std::span<TPoint> Dest,
                                      float Angle)
{
    if (Source.size() < 2 || Dest.size() < 2)
        return {};
    const int last = std::min({Source[0].x & 0xFF, static_cast<int>(Source.size()) - 1,
                               static_cast<int>(Dest.size()) - 1});
    Dest[0] = Source[0];
    Dest[1] = Source[1];
    const TRotation turn(Source[1], Clockwise, Angle);
    for (int i = 2; i <= last; ++i)
        Dest[static_cast<size_t>(i)] = turn(Source[static_cast<size_t>(i)]);
    return last >= 2 ? Dest.subspan(2, static_cast<size_t>(last - 1)) : std::span<TPoint>{};
}

void DrawRotatedPolygon(TCanvas& Canvas, std::span<const TPoint> Source, bool Clockwise,
                        std::span<TPoint> Dest, float Angle)
{
    const std::span<const TPoint> vertices = RotatePolygon(Source, Clockwise, Dest, Angle);
    if (!vertices.empty())
        Canvas.Polygon(vertices);
}

long double Log10(long double X)
{
    return std::log(X) / std::log(10.0L);
}

long double Power(long double Base, long double Exponent)
{
    return std::exp(Exponent * std::log(Base));
}

long double RoundToDecade(long double X, int& Exponent)
{
    Exponent = X > 0 ? Round(Log10(X)) : 0;
    return Power(10.0L, Exponent);
}

long double RoundToDecade(long double X)
{
    int e = 0;
    return RoundToDecade(X, e);
}

long double SignedSpan(long double A, long double B)
{
    if (A < 0 && B < 0)
        return std::fabs(A) - std::fabs(B);
    if (A < 0)
        return std::fabs(B) + std::fabs(A);
    if (B > 0)
        return B - A;
    return 0;
}

int SignedSpan(int A, int B)
{
    if (A < 0 && B < 0)
        return std::abs(A) - std::abs(B);
    if (A < 0)
        return std::abs(B) + std::abs(A);
    if (B > 0)
        return B - A;
    return 0;
}
