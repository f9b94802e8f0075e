// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

#include "platform/framework/Canvas.h"
#include "platform/framework/GraphicControl.h"
#include "platform/framework/Persistent.h"
#include "widgets/_AbProc.h"

// Base of every settings object of the widgets: a change fires OnChange, which the owning
// widget points at its ParamChange.
class TAbPersistent : public TPersistent {
public:
    std::string ClassName() const override { return "TAbPersistent"; }

    virtual void Change();
    virtual void ChangeObject(TObject* Sender);

    TNotifyEvent OnChange;

protected:
    // The setter pattern: an unchanged value does nothing, a new one is stored and notified.
    template <typename T>
    void SetField(T& Field, const T& Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        Change();
    }
};

// An inset applied to a rectangle.
class TAbOffset : public TAbPersistent {
public:
    std::string ClassName() const override { return "TAbOffset"; }

    int Top() const { return FTop; }
    int Left() const { return FLeft; }
    int Right() const { return FRight; }
    int Bottom() const { return FBottom; }
    void SetTop(int Value) { SetField(FTop, Value); }
    void SetLeft(int Value) { SetField(FLeft, Value); }
    void SetRight(int Value) { SetField(FRight, Value); }
    void SetBottom(int Value) { SetField(FBottom, Value); }

    // R moved inwards by the four insets.
    TRect SetOffset(const TRect& R) const;
    // Stores all four without notification.
    void Write(int Top, int Left, int Right, int Bottom);

    void Assign(const TPersistent& Source) override;

private:
    int FTop = 0;
    int FLeft = 0;
    int FRight = 0;
    int FBottom = 0;
};

// A two-colour surface gradient.
class TAbGradSettings : public TAbPersistent {
public:
    std::string ClassName() const override { return "TAbGradSettings"; }

    TColor ColorFrom() const { return FColorFrom; }
    TColor ColorTo() const { return FColorTo; }
    bool Visible() const { return FVisible; }
    TGradientStyle Style() const { return FStyle; }
    void SetColorFrom(TColor Value) { SetField(FColorFrom, Value); }
    void SetColorTo(TColor Value) { SetField(FColorTo, Value); }
    void SetVisible(bool Value) { SetField(FVisible, Value); }
    void SetStyle(TGradientStyle Value) { SetField(FStyle, Value); }

    void Assign(const TPersistent& Source) override;

private:
    TColor FColorFrom = 14869218;  // $E2E2E2
    TColor FColorTo = 9408399;     // $8F8F8F
    bool FVisible = false;
    TGradientStyle FStyle = gsHorizontal1;
};

enum TBevelStyle { bsLowered, bsRaised };
enum TBevelLine { blNone, blOuter, blInner, blBoth };

// The framed panel behind meters and value indicators: shaded rings, optional one-pixel
// lines, a margin, an optional surface gradient.
class TAbSBevel : public TAbPersistent {
public:
    TAbSBevel();
    std::string ClassName() const override { return "TAbSBevel"; }

    TAbOffset& Offset() { return *FOffset; }
    const TAbOffset& Offset() const { return *FOffset; }
    TBevelStyle Style() const { return FStyle; }
    int Spacing() const { return FSpacing; }
    TBevelLine BevelLine() const { return FBevelLine; }
    int Width() const { return FWidth; }
    TColor Color() const { return FColor; }
    TColor ColorShadowFrom() const { return FColorShadowFrom; }
    TColor ColorShadowTo() const { return FColorShadowTo; }
    TColor ColorHighLightFrom() const { return FColorHighLightFrom; }
    TColor ColorHighLightTo() const { return FColorHighLightTo; }
    TColor PenColor() const { return FPenColor; }
    TAbGradSettings& SurfaceGrad() { return *FSurfaceGrad; }
    const TAbGradSettings& SurfaceGrad() const { return *FSurfaceGrad; }

    void SetStyle(TBevelStyle Value) { SetField(FStyle, Value); }
    void SetSpacing(int Value) { SetField(FSpacing, Value); }
    void SetBevelLine(TBevelLine Value) { SetField(FBevelLine, Value); }
    // A negative width is ignored.
    void SetWidth(int Value);
    void SetColor(TColor Value) { SetField(FColor, Value); }
    void SetColorShadowFrom(TColor Value) { SetField(FColorShadowFrom, Value); }
    void SetColorShadowTo(TColor Value) { SetField(FColorShadowTo, Value); }
    void SetColorHighLightFrom(TColor Value) { SetField(FColorHighLightFrom, Value); }
    void SetColorHighLightTo(TColor Value) { SetField(FColorHighLightTo, Value); }
    void SetPenColor(TColor Value) { SetField(FPenColor, Value); }

    // Distance from the outer edge to the inner rectangle (before Offset).
    int TotalWidth() const { return FTotalWidth; }

    void Change() override;
    void Assign(const TPersistent& Source) override;

    // Paints the whole panel into R and returns in R the rectangle left for the content.
    void PaintFilledBevel(TCanvas& Canvas, TRect& R);
    // The shaded rings; R moves inwards by Width.
    void PaintBevelFrame(TCanvas& Canvas, TRect& R, bool Raised, bool Fill, TColor FillColor);

private:
    void ParamChange(TObject* Sender);
    void UpdateTotalWidth();

    std::unique_ptr<TAbOffset> FOffset;
    TBevelStyle FStyle = bsRaised;
    int FSpacing = 5;
    TBevelLine FBevelLine = blNone;
    int FWidth = 2;
    TColor FColor = clBtnFace;
    TColor FColorShadowFrom = clBtnShadow;
    TColor FColorShadowTo = clBtnShadow;
    TColor FColorHighLightFrom = clBtnHighlight;
    TColor FColorHighLightTo = clBtnHighlight;
    TColor FPenColor = clBlack;
    std::unique_ptr<TAbGradSettings> FSurfaceGrad;
    int FTotalWidth = 0;
};

// The bevel settings of the colour button.
class TAbBtnBevel : public TAbPersistent {
public:
    std::string ClassName() const override { return "TAbBtnBevel"; }

    TColor ShadowColFrom() const { return FShadowColFrom; }
    TColor ShadowColTo() const { return FShadowColTo; }
    TColor HighlightColFrom() const { return FHighlightColFrom; }
    TColor HighlightColTo() const { return FHighlightColTo; }
    int Width() const { return FWidth; }
    void SetShadowColFrom(TColor Value) { SetField(FShadowColFrom, Value); }
    void SetShadowColTo(TColor Value) { SetField(FShadowColTo, Value); }
    void SetHighlightColFrom(TColor Value) { SetField(FHighlightColFrom, Value); }
    void SetHighlightColTo(TColor Value) { SetField(FHighlightColTo, Value); }
    // A negative width is ignored.
    void SetWidth(int Value);

    void Assign(const TPersistent& Source) override;

private:
    TColor FShadowColFrom = clBlack;
    TColor FShadowColTo = clBtnShadow;
    TColor FHighlightColFrom = 13816530;  // $D2D2D2
    TColor FHighlightColTo = clBtnHighlight;
    int FWidth = 2;
};

// Base of the analog widgets: update brackets batch settings changes into one ParamChange.
class TAbGraphicControl : public TGraphicControl {
public:
    explicit TAbGraphicControl(TComponent* AOwner, QWidget* AParent = nullptr);
    std::string ClassName() const override { return "TAbGraphicControl"; }

    void BeginUpdate();
    // Closes a bracket (never below 0); with none left open, asks for ParamChange.
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Runs ParamChange(this) when no bracket is open.
    virtual void RequestParamChange();
    // Where every settings change arrives; the widgets recompute and repaint here.
    virtual void ParamChange(TObject* Sender);

protected:
    int FUpdateCount = 0;
};
