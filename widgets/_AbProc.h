// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <span>
#include <string>

#include "platform/framework/Bitmap.h"
#include "platform/framework/Canvas.h"
#include "platform/framework/Color.h"
#include "platform/framework/Types.h"

// Drawing and number routines shared by the instrument widgets.

enum TGradientStyle {
    gsHorizontal1, gsHorizontal2, gsHorizontal3,
    gsVertical1, gsVertical2, gsVertical3,
    gsElliptic1, gsElliptic2, gsElliptic3,
    gsRectangle, gsDiamond1, gsDiamond2,
    gsTopLeft, gsTopRight,
};

// Nearest integer, halves to the even neighbour; values beyond the 32-bit range saturate.
int Round(long double X);
// Towards zero, saturating likewise.
int Trunc(long double X);

// The colour Step/Steps of the way from ColorFrom to ColorTo; two colours that resolve to the
// same red, green and blue give ColorFrom itself (so a system colour stays one).
TColor ColorMix(TColor ColorFrom, TColor ColorTo, int Steps, int Step);

// Fills R with a two-colour gradient, drawn off-screen and copied in one piece. An empty R
// draws nothing.
void DrawGradient(TCanvas& Canvas, const TRect& R, TColor ColorFrom, TColor ColorTo, TGradientStyle Style);

// Draws Text so that the point of its box chosen by Anchor (column Anchor mod 3: left,
// centre, right; row Anchor div 3: top, middle, bottom) lies at (X, Y).
void TextOutAnchored(TCanvas& Canvas, int X, int Y, int Anchor, const std::string& Text);
// Where TextOutAnchored puts the top-left corner of a text box w × h.
TPoint AnchoredTopLeft(int X, int Y, int Anchor, int w, int h);
// Draws '|'-separated lines, the block placed by Anchor as one piece.
void TextOutLines(TCanvas& Canvas, int X, int Y, int Anchor, const std::string& Text, int LineGap);

int CountChar(const std::string& Text, char Ch);
// Takes the part of S before the first Separator off S (with the separator) and returns it;
// without a separator all of S is taken.
std::string NextToken(std::string& S, char Separator);
// Width of the widest ';'-separated part of List (the part after the last ';' included) and
// the text height.
TSize MeasureList(TCanvas& Canvas, const std::string& List);

// Copies what is visible of R on Canvas into Bitmap, which takes R's size.
void SaveBackground(TCanvas& Canvas, TBitmap& Bitmap, const TRect& R);

TPoint RectCenter(const TRect& R);
void ShrinkRect(TRect& R, int N);

// P turned about Center by Angle degrees; Clockwise turns clockwise on the screen (y down).
TPoint RotatePoint(TPoint P, TPoint Center, bool Clockwise, float Angle);

// The turn RotatePoint makes, its sine and cosine worked out once for all the points it
// turns: Rotation(P) is RotatePoint(P, Center, Clockwise, Angle).
class TRotation {
public:
    TRotation(TPoint Center, bool Clockwise, float Angle);
    TPoint operator()(TPoint P) const;

private:
    TPoint FCenter;
    bool FClockwise;
    long double FCos;
    long double FSin;
};

// A pie wedge of the ellipse R from StartAngle through Sweep degrees, both measured
// clockwise from 12 o'clock.
void DrawPie(TCanvas& Canvas, const TRect& R, float StartAngle, float Sweep);

// Source: point 0 holds in the low 8 bits of x the index K of the last vertex, point 1 the
// rotation centre, points 2..K the vertices. Dest gets points 0 and 1 as they are and the
// vertices turned by Angle; the turned polygon is drawn filled. A K beyond either array is
// cut to what the arrays hold.
void DrawRotatedPolygon(TCanvas& Canvas, std::span<const TPoint> Source, bool Clockwise,
                        std::span<TPoint> Dest, float Angle);
// The turning alone: Dest as DrawRotatedPolygon fills it; returns the turned vertices.
std::span<const TPoint> RotatePolygon(std::span<const TPoint> Source, bool Clockwise, std::span<TPoint> Dest,
                                      float Angle);

long double Log10(long double X);
long double Power(long double Base, long double Exponent);
// The power of ten nearest to X on a logarithmic scale, and its exponent; X <= 0 counts as 1.
long double RoundToDecade(long double X, int& Exponent);
long double RoundToDecade(long double X);

// The distance between A and B for a range that ascends: both negative |A| - |B|, A negative
// and B not |B| + |A|, A not negative and B positive B - A; any other pair gives 0.
long double SignedSpan(long double A, long double B);
int SignedSpan(int A, int B);
