// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

#include "widgets/_GClass.h"
#include "widgets/_GClassBinary.h"

enum TLEDShape { sRound, sArrowLeft, sArrowRight, sArrowUp, sArrowDown, sRectangle, sDiamondLeft, sDiamondRight };
enum TLEDPos { lpLeft, lpRight, lpTop, lpBottom };

// The lamp of an LED: outline, the two fill colours and its size.
class TLED : public TAbPersistent {
public:
    static constexpr int kMinSize = 4;
    static constexpr int kMaxSize = 80;

    std::string ClassName() const override { return "TLED"; }

    TLEDShape Shape() const { return FShape; }
    TColor ColorOn() const { return FColorOn; }
    TColor ColorOff() const { return FColorOff; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetShape(TLEDShape Value) { SetField(FShape, Value); }
    void SetColorOn(TColor Value) { SetField(FColorOn, Value); }
    void SetColorOff(TColor Value) { SetField(FColorOff, Value); }
    // Sizes outside kMinSize..kMaxSize are ignored.
    void SetWidth(int Value);
    void SetHeight(int Value);

    void Assign(const TPersistent& Source) override;

    // Where the lamp was last painted, in the control's coordinates (empty before that).
    TRect Rect;

private:
    TLEDShape FShape = sRound;
    TColor FColorOn = clLime;
    TColor FColorOff = clBtnFace;
    int FWidth = 13;
    int FHeight = 13;
};

// Where lamp and caption go in a control ClientWidth × ClientHeight: the lamp rectangle and
// the point the caption block is anchored at (Anchor as TextOutAnchored takes it).
struct TLEDLayout {
    TRect Lamp;
    TPoint Caption;
    int Anchor = 3;
};
TLEDLayout LEDLayout(int ClientWidth, int ClientHeight, int LampWidth, int LampHeight, TLEDShape Shape,
                     TLEDPos Position, int Spacing);

// Draws a lamp of Shape into R, outlined in FrameColor and filled with FillColor.
void DrawLEDShape(TCanvas& Canvas, const TRect& R, TLEDShape Shape, TColor FrameColor, TColor FillColor);

// A status lamp with a caption beside, above or below it. State changes and blinking redraw
// only the lamp; layout changes repaint the whole control.
class TAbLED : public TAbBinGControl {
public:
    explicit TAbLED(TComponent* AOwner, QWidget* AParent = nullptr);
    ~TAbLED() override;
    std::string ClassName() const override { return "TAbLED"; }

    TLED& LED() { return *FLED; }
    const TLED& LED() const { return *FLED; }
    TLEDPos LED_Position() const { return FLED_Position; }
    void SetLED_Position(TLEDPos Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

    void ParamChange(TObject* Sender) override;

protected:
    void Paint() override;
    void StatusChanged() override;
    void Flash(bool Status) override;

private:
    // Draws the lamp alone at its last painted place.
    void DrawLamp(TColor Fill);
    bool Shown() const { return Visible() || Designing(); }

    std::unique_ptr<TLED> FLED;
    TLEDPos FLED_Position = lpLeft;
    int FSpacing = 5;
};
