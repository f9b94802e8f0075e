// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/framework/Bitmap.h"
#include "platform/framework/Font.h"
#include "platform/framework/Set.h"
#include "widgets/_GClassAnalog.h"
#include "widgets/_GClassScale.h"

// Scoped, because the value indicator's options share several of these names; callers
// write `using enum TRMeterOption;` where they list options.
enum class TRMeterOption { opBevelInner, opBevelOuter, opName1, opName2, opOverflow, opLimit, opSector, opUnit };
using TRMeterOptions = TSet<TRMeterOption>;

enum TMeterType { Ab360Meter, Ab270Meter, Ab180Meter, Ab120Meter };

// Pointer shape and colours of a round meter.
class TArrowSettings : public TAbPersistent {
public:
    std::string ClassName() const override { return "TArrowSettings"; }

    int Shape() const { return FShape; }
    TColor ColorPen() const { return FColorPen; }
    TColor ColorBrush() const { return FColorBrush; }
    TColor ColorCP1Pen() const { return FColorCP1Pen; }
    TColor ColorCP1Brush() const { return FColorCP1Brush; }
    TColor ColorCP2Pen() const { return FColorCP2Pen; }
    TColor ColorCP2Brush() const { return FColorCP2Brush; }
    void SetShape(int Value) { SetField(FShape, Value); }
    void SetColorPen(TColor Value) { SetField(FColorPen, Value); }
    void SetColorBrush(TColor Value) { SetField(FColorBrush, Value); }
    void SetColorCP1Pen(TColor Value) { SetField(FColorCP1Pen, Value); }
    void SetColorCP1Brush(TColor Value) { SetField(FColorCP1Brush, Value); }
    void SetColorCP2Pen(TColor Value) { SetField(FColorCP2Pen, Value); }
    void SetColorCP2Brush(TColor Value) { SetField(FColorCP2Brush, Value); }

    // Copies the seven values, then notifies once.
    void Assign(const TPersistent& Source) override;

private:
    int FShape = 0;
    TColor FColorPen = clBlack;
    TColor FColorBrush = clLime;
    TColor FColorCP1Pen = clBlack;
    TColor FColorCP1Brush = clBlack;
    TColor FColorCP2Pen = clBlack;
    TColor FColorCP2Brush = clBtnFace;
};

// A pointer outline: point 0 a header (x: low byte the index K of the last vertex, next
// byte bit 0 "the outline flashes too"; y: low byte hub 1 radius, next byte hub 2 radius),
// point 1 the rotation centre, points 2..K the vertices.
using TArrowPolygon = std::array<TPoint, 9>;

inline int ArrowLastVertex(const TArrowPolygon& A) { return A[0].x & 0xFF; }
inline bool ArrowOutlineFlashes(const TArrowPolygon& A) { return ((A[0].x >> 8) & 1) != 0; }
inline int ArrowHub1Radius(const TArrowPolygon& A) { return A[0].y & 0xFF; }
inline int ArrowHub2Radius(const TArrowPolygon& A) { return (A[0].y >> 8) & 0xFF; }
// The vertices, points 2..K (as far as the array holds them).
inline std::span<const TPoint> ArrowVertices(const TArrowPolygon& A)
{
    const int last = std::min(ArrowLastVertex(A), static_cast<int>(A.size()) - 1);
    return last >= 2 ? std::span(A).subspan(2, static_cast<size_t>(last - 1)) : std::span<const TPoint>{};
}

// The outline of Shape pointing straight up in a pointer area Size pixels wide, relative to
// the area's top-left corner: centre (Size div 2, Size div 2), tip on the top edge. Shapes
// other than 1..7 give shape 0.
TArrowPolygon ArrowShape(int Shape, int Size);

// The pointer direction for PPT (0..1000) in degrees clockwise from 12 o'clock.
float PointerAngle(int StartAngle, int RotAngle, int PPT);

// The boxes with every overlapping pair joined into the box around both: fewer and larger
// boxes that cover at least what the given ones cover.
std::vector<TRect> JoinOverlapping(std::vector<TRect> Boxes);

// What the automatic size needs to know of a meter.
struct TMeterSizeInput {
    bool AutoSize = false;
    int Width = 0;              // the control's width
    int TextW = 0, TextH = 0;   // scale label size
    float HeightFactor = 1.18f;
    TSize Name1, Name2;         // caption sizes
    int OuterBevel = 0;         // TotalWidth, counted only when painted
    int InnerBevel = 0;
    bool BevelOuter = false, BevelInner = false, ShowName1 = false, ShowName2 = false;
};
TSize MeterMinSize(const TMeterSizeInput& In);

// The round meter: bevelled panel, captions, round scale, optional sector ring, arc and unit,
// and a pointer with hub disks and min/max markers. A value change draws only the pointer,
// from a background saved at the last full paint, and shows just the pointer rectangle.
class TAbRMeter : public TAbAnalogGControl {
public:
    explicit TAbRMeter(TComponent* AOwner, QWidget* AParent = nullptr);
    ~TAbRMeter() override;
    std::string ClassName() const override { return "TAbRMeter"; }

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TRMeterOptions Options() const { return FOptions; }
    void SetOptions(TRMeterOptions Value);
    TFont& FontUnit() { return FFontUnit; }
    void SetFontUnit(const TFont& Value);
    TArrowSettings& ArrowSettings() { return *FArrowSettings; }
    TAbSBevel& BevelInner() { return *FBevelInner; }
    TAbSBevel& BevelOuter() { return *FBevelOuter; }
    TScaleSettings& ScaleSettings() { return *FScaleSettings; }

    // Geometry as of the last paint.
    TRect PointerRect() const { return rPointer; }
    const TArrowPolygon& ArrowActPos() const { return FShown ? FShown->Picture.Arrow : FArrowStartPos; }
    TPoint Name1Pos() const { return FName1Pos; }
    TPoint Name2Pos() const { return FName2Pos; }
    bool IsTooSmall() const { return isToSmall; }
    bool IsFlashing() const { return Flashing; }
    TSize MinSize() const { return {min_w, min_h}; }
    int StartAngle() const { return FStartAngle; }
    int RotAngle() const { return FRotAngle; }
    TMeterType MeterType() const { return FMeterType; }

    void ParamChange(TObject* Sender) override;
    void ValueChanged() override;
    void OverflowChanged(int PPT) override;
    void LimitChanged() override;
    void LogScaleChanged() override;

protected:
    void Loaded() override;
    void Paint() override;
    void WndProc(TMessage& Message) override;

    void CalcMeterSize();
    // Draws the pointer and markers of the current value, unless they would cover the same
    // pixels in the same colours as those shown.
    void DrawPointer(TCanvas& Canvas);
    void DrawSectors(TCanvas& Canvas, const TRect& Q);
    void CheckFlashing();

    int FStartAngle = 0;
    int FRotAngle = 360;
    float HeightFactor = 1.0f;
    TMeterType FMeterType = Ab360Meter;

private:
    bool FAutoSize = true;
    std::unique_ptr<TArrowSettings> FArrowSettings;
    std::unique_ptr<TAbSBevel> FBevelInner;
    std::unique_ptr<TAbSBevel> FBevelOuter;
    TFont FFontUnit;
    TRMeterOptions FOptions;
    std::unique_ptr<TScaleSettings> FScaleSettings;

    // Everything the pointer area shows over the saved background: the same picture is the
    // same pixels.
    struct TPointerPicture {
        TArrowPolygon Arrow{};  // ArrowActPos
        std::array<TPoint, 3> Min{}, Max{};  // the markers
        bool MinVisible = false, MaxVisible = false;
        TColor MinColor = 0, MaxColor = 0;
        TColor Pen = 0, Brush = 0, Hub1Pen = 0, Hub1Brush = 0, Hub2Pen = 0, Hub2Brush = 0;
        bool operator==(const TPointerPicture&) const = default;
    };
    TPointerPicture PointerPicture();
    // The boxes around its shapes, in the pointer area Area, overlapping ones joined.
    std::vector<TRect> ShapeBoxes(const TPointerPicture& Picture, const TRect& Area) const;

    bool isToSmall = false;
    std::unique_ptr<TBitmap> BmpPointerArea;
    // What the pointer area shows, and the boxes of its shapes; none after a full paint, when
    // the whole area is drawn anew.
    struct TShownPointer {
        TPointerPicture Picture;
        std::vector<TRect> Boxes;
    };
    std::optional<TShownPointer> FShown;
    bool Flashing = false;
    TColor FlashColor = clRed;
    bool vChange = false;
    TArrowPolygon FArrowStartPos{};
    std::array<TPoint, 3> minPointerStart{}, maxPointerStart{};
    TSize sName1, sName2, sUnit;
    int min_h = 0;
    int min_w = 0;
    TRect rPointer;
    TPoint FName1Pos, FName2Pos;
};

// The meter whose scale sweeps 270 degrees clockwise from lower left (225) to lower right.
class TAb270Meter : public TAbRMeter {
public:
    explicit TAb270Meter(TComponent* AOwner, QWidget* AParent = nullptr);
    std::string ClassName() const override { return "TAb270Meter"; }
};
