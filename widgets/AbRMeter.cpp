// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/AbRMeter.h"

#include <algorithm>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

#include <QRegion>

#include "widgets/AbFlashT.h"

using enum TRMeterOption;

// ---- TArrowSettings ----

void TArrowSettings::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TArrowSettings*>(&Source);
    if (!src) {
        TAbPersistent::Assign(Source);
        return;
    }
    FShape = src->FShape;
    FColorPen = src->FColorPen;
    FColorBrush = src->FColorBrush;
    FColorCP1Pen = src->FColorCP1Pen;
    FColorCP1Brush = src->FColorCP1Brush;
    FColorCP2Pen = src->FColorCP2Pen;
    FColorCP2Brush = src->FColorCP2Brush;
    Change();
}

// ---- pure geometry ----

TArrowPolygon ArrowShape(int Shape, int Size)
{
    const int c = Size / 2;
    const int d = c / 10;
    const int e = c / 16;
    TArrowPolygon a{};
    auto header = [&](int K, bool flashes, int hub1, int hub2) {
        a[0] = {(K & 0xFF) | ((flashes ? 1 : 0) << 8), (hub1 & 0xFF) | ((hub2 & 0xFF) << 8)};
        a[1] = {c, c};
    };
    auto vertices = [&](std::initializer_list<TPoint> pts) {
        size_t i = 2;
        for (const TPoint& p : pts)
            a[i++] = p;
    };
    switch (Shape) {
    case 1:
        header(4, false, (d + d / 2) % 256, 3);
        vertices({{c - e, c}, {c + e, c}, {c, 0}});
        break;
    case 2:
        header(4, false, 0, 0);
        vertices({{c - d, 4 * d}, {c + d, 4 * d}, {c, 0}});
        break;
    case 3:
        header(4, false, d, 3);
        vertices({{c - e, c + 2 * d}, {c + e, c + 2 * d}, {c, 0}});
        break;
    case 4:
        header(8, false, 2, 0);
        vertices({{c - e, c + d}, {c + e, c + d}, {c + e, 3 * d}, {c + 2 * d, 3 * d}, {c, 0}, {c - 2 * d, 3 * d},
                  {c - e, 3 * d}});
        break;
    case 5:
        header(6, false, 2, 0);
        vertices({{c - d, c + d}, {c + d, c + d}, {c + d, 2 * d}, {c, 0}, {c - d, 2 * d}});
        break;
    case 6:
        header(5, true, 8, 3);
        vertices({{c - 1, c + 2 * d}, {c + 1, c + 2 * d}, {c + 1, 0}, {c - 1, 0}});
        break;
    case 7:
        header(6, false, e, 2);
        vertices({{c - d, c}, {c - d - e, c + 2 * d}, {c + d + e, c + 2 * d}, {c + d, c}, {c, 0}});
        break;
    default:  // 0: a slim triangle from just below the centre to the tick ends
        header(4, false, 2, 0);
        vertices({{c - d, c + d}, {c + d, c + d}, {c, 0}});
        break;
    }
    return a;
}

float PointerAngle(int StartAngle, int RotAngle, int PPT)
{
    return static_cast<float>(StartAngle + static_cast<float>(RotAngle / 1000.0f) * PPT);
}

std::vector<TRect> JoinOverlapping(std::vector<TRect> Boxes)
{
    // A joined box may reach boxes checked before, so each join starts the search again.
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t i = 0; i < Boxes.size() && !joined; ++i) {
            for (size_t j = i + 1; j < Boxes.size() && !joined; ++j) {
                const TRect& a = Boxes[i];
                const TRect& b = Boxes[j];
                if (IntersectRect(a, b).IsEmpty())
                    continue;
                Boxes[i] = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                            std::max(a.Bottom, b.Bottom)};
                Boxes.erase(Boxes.begin() + static_cast<std::ptrdiff_t>(j));
                joined = true;
            }
        }
    }
    return Boxes;
}

TSize MeterMinSize(const TMeterSizeInput& In)
{
    const int outer = In.BevelOuter ? 2 * In.OuterBevel : 0;
    const int inner = In.BevelInner ? 2 * In.InnerBevel : 0;
    int w = In.AutoSize ? 10 * In.TextH : std::max(In.Width - outer - inner, 7 * In.TextH);
    int h = Round((static_cast<long double>(w) - In.TextW) / In.HeightFactor + In.TextH);
    w += outer;
    h += outer;
    if (In.ShowName1) {
        h += In.Name1.cy;
        w = std::max(w, outer + inner + In.Name1.cx);
    }
    if (In.ShowName2) {
        h += In.Name2.cy;
        w = std::max(w, outer + inner + In.Name2.cx);
    }
    w += inner;
    h += inner;
    return {w, h};
}

// ---- TAbRMeter ----

TAbRMeter::TAbRMeter(TComponent* AOwner, QWidget* AParent)
    : TAbAnalogGControl(AOwner, AParent),
      FArrowSettings(std::make_unique<TArrowSettings>()),
      FBevelInner(std::make_unique<TAbSBevel>()),
      FBevelOuter(std::make_unique<TAbSBevel>()),
      FOptions{opBevelInner, opBevelOuter, opName1, opName2, opOverflow, opLimit, opSector, opUnit},
      FScaleSettings(std::make_unique<TScaleSettings>()),
      BmpPointerArea(std::make_unique<TBitmap>(1, 1))
{
    FFontUnit.SetColor(clBlack);
    FFontUnit.SetName("System");
    FFontUnit.SetSize(10);
    FBevelInner->SetStyle(bsLowered);
    FBevelInner->SetSpacing(5);
    FBevelInner->SetWidth(2);
    FBevelInner->SetBevelLine(blInner);
    FBevelOuter->SetSpacing(5);
    FBevelOuter->SetBevelLine(blOuter);
    FBevelOuter->SetWidth(2);
}

TAbRMeter::~TAbRMeter()
{
    FFontUnit.OnChange = nullptr;
    RemoveFlashControl(this);
}

void TAbRMeter::Loaded()
{
    const auto changed = [this](TObject* s) { ParamChange(s); };
    FArrowSettings->OnChange = changed;
    FFontUnit.OnChange = changed;
    FBevelInner->OnChange = changed;
    FBevelOuter->OnChange = changed;
    FScaleSettings->OnChange = changed;
    TAbAnalogGControl::Loaded();
    EndUpdate();
}

void TAbRMeter::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    if (FUpdateCount == 0)
        Invalidate();
}

void TAbRMeter::SetOptions(TRMeterOptions Value)
{
    FOptions = Value;
    if (FUpdateCount == 0)
        Invalidate();
}

void TAbRMeter::SetFontUnit(const TFont& Value)
{
    FFontUnit.Assign(Value);
    if (FUpdateCount == 0)
        Invalidate();
}

void TAbRMeter::ParamChange(TObject* Sender)
{
    TAbAnalogGControl::ParamChange(Sender);
    if (FUpdateCount == 0)
        Invalidate();
}

void TAbRMeter::LogScaleChanged()
{
    FScaleSettings->LogScale = LogScale();
    if (FUpdateCount == 0)
        Invalidate();
}

void TAbRMeter::CalcMeterSize()
{
    TCanvas& c = Canvas();
    c.Font().Assign(Font());
    sName1 = c.TextExtent(SignalSettings().Name1());
    sName2 = c.TextExtent(SignalSettings().Name2());
    c.Font().Assign(FFontUnit);
    sUnit = c.TextExtent(SignalSettings().ValueUnit());
    FScaleSettings->CalcRSize(c, SignalSettings().ValueFrom(), SignalSettings().ValueTo());

    TMeterSizeInput in;
    in.AutoSize = FAutoSize;
    in.Width = Width();
    in.TextW = FScaleSettings->TextW;
    in.TextH = FScaleSettings->TextH;
    in.HeightFactor = HeightFactor;
    in.Name1 = sName1;
    in.Name2 = sName2;
    in.OuterBevel = FBevelOuter->TotalWidth();
    in.InnerBevel = FBevelInner->TotalWidth();
    in.BevelOuter = FOptions.Contains(opBevelOuter);
    in.BevelInner = FOptions.Contains(opBevelInner);
    in.ShowName1 = FOptions.Contains(opName1);
    in.ShowName2 = FOptions.Contains(opName2);
    const TSize min = MeterMinSize(in);
    min_w = min.cx;
    min_h = min.cy;
    if (FAutoSize && (min_w != Width() || min_h != Height()))
        SetBounds(Left(), Top(), min_w, min_h);
}

void TAbRMeter::Paint()
{
    if (FUpdateCount != 0)
        return;
    CalcMeterSize();
    TCanvas& c = Canvas();
    TRect R = ClientRect();
    int g = 0;
    if (FOptions.Contains(opBevelOuter)) {
        FBevelOuter->PaintFilledBevel(c, R);
        g = FBevelOuter->Spacing() / 2;
    }
    c.Brush().Style = bsClear;
    c.Font().Assign(Font());
    auto caption = [&](const std::string& text, TSize size, TPoint& pos) {
        R.Bottom -= size.cy;
        pos = {R.Left + (R.Width() - size.cx) / 2, R.Bottom + g};
        c.TextOut(pos.x, pos.y, text);
    };
    if (FOptions.Contains(opName2))
        caption(SignalSettings().Name2(), sName2, FName2Pos);
    if (FOptions.Contains(opName1))
        caption(SignalSettings().Name1(), sName1, FName1Pos);
    if (FOptions.Contains(opBevelInner))
        FBevelInner->PaintFilledBevel(c, R);

    isToSmall = R.Width() < 2 || R.Height() < 2;
    if (isToSmall)
        return;

    TRect S = R;
    switch (FMeterType) {
    case Ab120Meter: {
        const int widen = R.Width() / 20;
        R.Left -= widen;
        R.Right += R.Width() / 20;  // measured from the widened left: the wider face is intended
        S = R;
        [[fallthrough]];
    }
    case Ab180Meter:
        rPointer.Bottom = R.Bottom + FBevelInner->Spacing();
        FScaleSettings->RoundScala(c, R, FStartAngle, FRotAngle);
        rPointer.Left = R.Left;
        rPointer.Top = R.Top;
        rPointer.Right = R.Right;
        break;
    default:
        FScaleSettings->RoundScala(c, R, FStartAngle, FRotAngle);
        rPointer = R;
        break;
    }

    if (FOptions.Contains(opSector)) {
        TRect Q = R;
        ShrinkRect(Q, FScaleSettings->sl1 + SectorSettings().Offset());
        DrawSectors(c, Q);
    }
    if (SectorSettings().Offset() < 0)
        FScaleSettings->RoundScala(c, S, FStartAngle, FRotAngle);

    if (FOptions.Contains(opUnit)) {
        const int y = FMeterType == Ab270Meter
                          ? Round((static_cast<long double>(Width()) - FScaleSettings->TextW) / 1.18L -
                                  FScaleSettings->TextH)
                          : Round(R.Width() / 3.0L - FScaleSettings->TextH / 2.0L) + R.Top;
        c.Font().Assign(FFontUnit);
        c.Brush().Style = bsClear;
        c.TextOut(R.Left + (R.Width() - sUnit.cx) / 2, y, SignalSettings().ValueUnit());
    }

    FArrowStartPos = ArrowShape(FArrowSettings->Shape(), rPointer.Width());
    const TPoint centre = FArrowStartPos[1];
    for (int i = 2; i <= ArrowLastVertex(FArrowStartPos); ++i) {
        auto& p = FArrowStartPos[static_cast<size_t>(i)];
        p = RotatePoint(p, centre, true, static_cast<float>(FStartAngle));
    }
    SaveBackground(c, *BmpPointerArea, rPointer);
    FShown.reset();  // the next pointer is drawn on the whole new area

    const int sl1 = FScaleSettings->sl1;
    const int m = Round(sl1 * 0.6L);
    const int cx = centre.x;
    minPointerStart = {TPoint{cx, sl1 + m}, TPoint{cx, 1}, TPoint{cx - m, 1}};
    maxPointerStart = {TPoint{cx, sl1 + m}, TPoint{cx, 1}, TPoint{cx + m, 1}};
    for (auto* marker : {&minPointerStart, &maxPointerStart})
        for (TPoint& p : *marker)
            p = RotatePoint(p, centre, true, static_cast<float>(FStartAngle));

    ValueChanged();
}

void TAbRMeter::DrawSectors(TCanvas& Canvas, const TRect& Q)
{
    const std::optional<QRegion> savedClip = Canvas.ClipRegion();
    TRect inner{Q.Left, Q.Top, Q.Right, Q.Bottom + 1};
    const QRegion outerEllipse(Q.Left, Q.Top, Q.Width(), Q.Height() + 1, QRegion::Ellipse);
    ShrinkRect(inner, Q.Width() / 10 + SectorSettings().WidthOffset());
    const QRegion innerEllipse(inner.Left, inner.Top, std::max(0, inner.Width()), std::max(0, inner.Height()),
                               QRegion::Ellipse);
    // Clip regions are in the control's own coordinates.
    Canvas.SetClipRegion(outerEllipse.subtracted(innerEllipse));

    const float f = static_cast<float>(FRotAngle / 1000.0f);
    Canvas.Brush().Style = bsSolid;
    const TSectorSettings& s = SectorSettings();
    for (int k = 1; k <= 3; ++k) {
        const int from = s.SectorFrom(k);
        const int to = s.SectorTo(k);
        if (!(to - from > 4 && to > 0 && from < 1000))
            continue;
        Canvas.Brush().Color = s.SectorColor(k);
        Canvas.Pen().Color = s.SectorColor(k);
        int start;
        int span;
        if (from < 0) {
            start = FStartAngle;
            span = std::min(1000, to);
        } else {
            start = Round(static_cast<long double>(from) * f) + FStartAngle;
            span = std::min(1000, to) - from;
        }
        DrawPie(Canvas, Q, static_cast<float>(start), static_cast<float>(Round(static_cast<long double>(span) * f)));
    }
    if (savedClip)
        Canvas.SetClipRegion(*savedClip);
    else
        Canvas.ResetClip();

    Canvas.Pen().Color = FScaleSettings->Color();
    Canvas.Pen().Width = FScaleSettings->PenW1;
    Canvas.Brush().Style = bsClear;
    if (FScaleSettings->DrawLine()) {
        if (FMeterType == Ab360Meter) {
            Canvas.Ellipse(Q);
        } else {
            const auto& L = FScaleSettings->LinePos;
            Canvas.Arc(L[0].x, L[0].y, L[1].x, L[1].y, L[2].x, L[2].y, L[3].x, L[3].y);
        }
    }
}

void TAbRMeter::ValueChanged()
{
    vChange = true;
    try {
        TAbAnalogGControl::ValueChanged();
        if (!isToSmall && BmpPointerArea && Visible())
            DrawPointer(Canvas());
    } catch (...) {
        vChange = false;
        throw;
    }
    vChange = false;
}

namespace {

// The smallest rectangle holding every point added, as a half-open TRect.
class TPointBounds {
public:
    void Add(TPoint p)
    {
        FBox = FEmpty ? TRect{p.x, p.y, p.x + 1, p.y + 1}
                      : TRect{std::min(FBox.Left, p.x), std::min(FBox.Top, p.y), std::max(FBox.Right, p.x + 1),
                              std::max(FBox.Bottom, p.y + 1)};
        FEmpty = false;
    }
    template <typename Points>
    void AddAll(const Points& points)
    {
        for (const TPoint& p : points)
            Add(p);
    }
    // The box grown by a margin for pens and edge pixels, cut to the area.
    TRect Box(int margin, const TRect& area) const
    {
        if (FEmpty)
            return {};
        TRect r = FBox;
        InflateRect(r, margin, margin);
        return IntersectRect(r, area);
    }

private:
    TRect FBox;
    bool FEmpty = true;
};

}  // namespace

TAbRMeter::TPointerPicture TAbRMeter::PointerPicture()
{
    const auto a = [this](int p) { return static_cast<float>(FRotAngle / 1000.0f) * static_cast<float>(p); };
    TPointerPicture pic;
    const TPoint centre = FArrowStartPos[1];
    const TRotation toMin(centre, true, a(MinPPT()));
    const TRotation toMax(centre, true, a(MaxPPT()));
    for (size_t i = 0; i < 3; ++i) {
        pic.Min[i] = toMin(minPointerStart[i]);
        pic.Max[i] = toMax(maxPointerStart[i]);
    }
    const auto markerColor = [this](int ppt, TColor plain) {
        TColor sectorCol;
        return MinMax().UseSectorCol() && SectorSettings().CheckSectorColor(ppt, sectorCol) ? sectorCol : plain;
    };
    pic.MinVisible = MinMax().MinVisible();
    pic.MaxVisible = MinMax().MaxVisible();
    if (pic.MinVisible)
        pic.MinColor = markerColor(MinPPT(), MinMax().MinColor());
    if (pic.MaxVisible)
        pic.MaxColor = markerColor(MaxPPT(), MinMax().MaxColor());
    if (Flashing) {
        pic.Brush = FlashColor;
        pic.Pen = ArrowOutlineFlashes(FArrowStartPos) ? FlashColor : FArrowSettings->ColorPen();
    } else {
        pic.Pen = FArrowSettings->ColorPen();
        pic.Brush = FArrowSettings->ColorBrush();
    }
    RotatePolygon(FArrowStartPos, true, pic.Arrow, a(PPT()));
    pic.Hub1Pen = FArrowSettings->ColorCP1Pen();
    pic.Hub1Brush = FArrowSettings->ColorCP1Brush();
    pic.Hub2Pen = FArrowSettings->ColorCP2Pen();
    pic.Hub2Brush = FArrowSettings->ColorCP2Brush();
    return pic;
}

std::vector<TRect> TAbRMeter::ShapeBoxes(const TPointerPicture& Picture, const TRect& Area) const
{
    std::vector<TRect> boxes;
    // Two pixels of margin: a pen reaches a pixel past a polygon's vertices.
    const auto add = [&](const auto& points) {
        TPointBounds bounds;
        bounds.AddAll(points);
        if (const TRect box = bounds.Box(2, Area); !box.IsEmpty())
            boxes.push_back(box);
    };
    if (Picture.MinVisible)
        add(Picture.Min);
    if (Picture.MaxVisible)
        add(Picture.Max);
    add(ArrowVertices(Picture.Arrow));
    const TPoint hub = Picture.Arrow[1];
    for (const int r : {ArrowHub1Radius(FArrowStartPos), ArrowHub2Radius(FArrowStartPos)})
        if (r > 0)
            add(std::array{TPoint{hub.x - r, hub.y - r}, TPoint{hub.x + r, hub.y + r}});
    return JoinOverlapping(std::move(boxes));
}

void TAbRMeter::DrawPointer(TCanvas& Canvas)
{
    if (isToSmall || !BmpPointerArea || BmpPointerArea->Width() < 2)
        return;
    TPointerPicture pic = PointerPicture();
    // A turn by less than a pixel, say, leaves every shape where it is: the area already
    // shows what a full paint of the value would.
    if (FShown && FShown->Picture == pic)
        return;
    // The saved background is put back where the last shapes were and the new ones go (all
    // of the pointer area after a full paint), boxes that overlap as one, and the new shapes
    // are drawn over it: elsewhere the area holds the saved background already.
    const TRect area{0, 0, BmpPointerArea->Width(), BmpPointerArea->Height()};
    std::vector<TRect> shapes = ShapeBoxes(pic, area);
    std::vector<TRect> restored{area};
    if (FShown) {
        restored = std::move(FShown->Boxes);
        restored.insert(restored.end(), shapes.begin(), shapes.end());
        restored = JoinOverlapping(std::move(restored));
    }
    const TPoint at = rPointer.TopLeft();
    for (const TRect& r : restored)
        Canvas.CopyRect({r.Left + at.x, r.Top + at.y, r.Right + at.x, r.Bottom + at.y}, BmpPointerArea->Canvas(), r);

    // The shapes lie in what was just restored, which is shown already, and are kept to the
    // pointer area, as they would be on a bitmap of it.
    const TPen pen = Canvas.Pen();
    const TBrush brush = Canvas.Brush();
    const std::optional<QRegion> clip = Canvas.ClipRegion();
    const auto show = std::exchange(Canvas.OnDrawn, nullptr);
    Canvas.SetClipRegion(clip ? *clip & QRegion(at.x, at.y, area.Width(), area.Height())
                              : QRegion(at.x, at.y, area.Width(), area.Height()));
    Canvas.Pen() = TPen{};
    Canvas.Brush() = TBrush{};
    const auto polygon = [&](std::span<const TPoint> points) {
        std::array<TPoint, std::tuple_size_v<TArrowPolygon>> moved{};
        for (size_t i = 0; i < points.size() && i < moved.size(); ++i)
            moved[i] = {points[i].x + at.x, points[i].y + at.y};
        Canvas.Polygon(std::span(moved).first(std::min(points.size(), moved.size())));
    };
    const auto marker = [&](const std::array<TPoint, 3>& points, TColor col) {
        Canvas.Brush().Color = col;
        polygon(points);
    };
    if (pic.MinVisible)
        marker(pic.Min, pic.MinColor);
    if (pic.MaxVisible)
        marker(pic.Max, pic.MaxColor);
    Canvas.Pen().Color = pic.Pen;
    Canvas.Brush().Color = pic.Brush;
    polygon(ArrowVertices(pic.Arrow));
    const TPoint hub{pic.Arrow[1].x + at.x, pic.Arrow[1].y + at.y};
    const auto disk = [&](int r, TColor diskPen, TColor diskBrush) {
        if (r <= 0)
            return;
        Canvas.Brush().Color = diskBrush;
        Canvas.Pen().Color = diskPen;
        Canvas.Ellipse(hub.x - r, hub.y - r, hub.x + r, hub.y + r);
    };
    disk(ArrowHub1Radius(FArrowStartPos), pic.Hub1Pen, pic.Hub1Brush);
    disk(ArrowHub2Radius(FArrowStartPos), pic.Hub2Pen, pic.Hub2Brush);
    if (clip)
        Canvas.SetClipRegion(*clip);
    else
        Canvas.ResetClip();
    Canvas.OnDrawn = show;
    Canvas.Pen() = pen;
    Canvas.Brush() = brush;
    FShown = TShownPointer{std::move(pic), std::move(shapes)};
}

void TAbRMeter::CheckFlashing()
{
    const bool off = PPT() < 0 || PPT() > 1000;
    if ((FOptions.Contains(opOverflow) && off) || (FOptions.Contains(opLimit) && (LLimit() || ULimit()))) {
        AddFlashControl(this, 4);
        Flashing = true;
    } else {
        Flashing = false;
        RemoveFlashControl(this);
    }
}

void TAbRMeter::OverflowChanged(int)
{
    CheckFlashing();
}

void TAbRMeter::LimitChanged()
{
    CheckFlashing();
}

void TAbRMeter::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_FLASH) {
        if (Visible() && !vChange && !isToSmall) {
            FlashColor = Message.LParam != 0 ? cAlarm1() : cAlarm0();
            DrawPointer(Canvas());
        }
        return;
    }
    TAbAnalogGControl::WndProc(Message);
}

// ---- TAb270Meter ----

TAb270Meter::TAb270Meter(TComponent* AOwner, QWidget* AParent) : TAbRMeter(AOwner, AParent)
{
    FStartAngle = 225;
    FRotAngle = 270;
    HeightFactor = 1.18f;
    SetBounds(Left(), Top(), 252, 252);
    ScaleSettings().SetSteps(10);
    FMeterType = Ab270Meter;
    if (Designing())
        Loaded();
}
