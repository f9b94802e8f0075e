// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QImage>
#include <QWidget>

#include "platform/framework/Canvas.h"
#include "platform/framework/Component.h"
#include "platform/framework/Font.h"
#include "platform/framework/Set.h"
#include "platform/framework/Types.h"

// A message sent to a control with Perform (the flash timer's tick, a caption change).
struct TMessage {
    unsigned Msg = 0;
    std::intptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

inline constexpr unsigned WM_USER = 0x0400;
inline constexpr unsigned CM_TEXTCHANGED = 0xB018;
inline constexpr unsigned CM_FONTCHANGED = 0xB008;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

// A control without a window of its own, drawn by Paint. It is a Qt widget that paints into
// an off-screen image and shows that image: a full paint (after Invalidate or Repaint)
// redraws the whole image through Paint, while drawing on Canvas at any other time changes
// only the pixels drawn and shows just those, so a control can move one part of its picture
// without painting the rest again.
//
// The image has the device pixel ratio of the screen the window is on (150 % is 1.5), and
// Canvas draws into it in the control's logical pixels, so the picture is as sharp as the
// screen. A window moved to a screen of another ratio gets its controls painted afresh at
// that ratio.
//
// Ownership follows both models: the owner component frees it, or its Qt parent does, and
// whichever goes first takes it off the other's list. A control whose owner is a widget is
// placed on that widget unless a parent is given.
class TGraphicControl : public QWidget, public TComponent {
public:
    explicit TGraphicControl(TComponent* AOwner, QWidget* AParent = nullptr);
    ~TGraphicControl() override;

    std::string ClassName() const override { return "TGraphicControl"; }

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    void SetLeft(int Value) { SetBounds(Value, Top(), Width(), Height()); }
    void SetTop(int Value) { SetBounds(Left(), Value, Width(), Height()); }
    void SetWidth(int Value) { SetBounds(Left(), Top(), Value, Height()); }
    void SetHeight(int Value) { SetBounds(Left(), Top(), Width(), Value); }
    TRect ClientRect() const { return {0, 0, Width(), Height()}; }

    TCanvas& Canvas() { return FCanvas; }
    TFont& Font() { return FFont; }
    void SetFont(const TFont& Value) { FFont.Assign(Value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    // The Visible property: true unless the control was hidden (here or by Qt's hide), whether
    // or not its window is on the screen yet. A control shown again paints afresh: while
    // hidden, the controls skip their partial drawing.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void setVisible(bool visible) override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    const std::string& Hint() const;
    void SetHint(const std::string& Value);
    // Sets the hint to what Compose returns when the hint is next read or about to be shown:
    // a hint that follows a value changing ten times a second is then built only when
    // someone looks at it. Compose must not depend on state that may change meanwhile.
    void SetHintLater(std::function<std::string()> Compose);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);

    // Schedules a full paint.
    void Invalidate();
    // Paints the whole control now.
    void Repaint();
    // The control's picture as it stands, in device pixels.
    const QImage& Image();
    int PaintCount() const { return FPaintCount; }

    std::intptr_t Perform(unsigned Msg, std::intptr_t WParam, std::intptr_t LParam);

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    virtual void Paint() {}
    // Message dispatch; overrides handle their messages and pass the rest on.
    virtual void WndProc(TMessage& Message);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Click();
    bool Painting() const { return FPainting; }
    // An opaque control fills its image with Color before Paint; otherwise what it does not
    // paint shows the parent.
    void SetOpaque(bool Value) { FOpaque = Value; }

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PaintImage();
    // Makes the image fit the control's size and screen; true when it had to be made anew.
    bool EnsureImage();
    void NoteVisible(bool Value);
    void ApplyToolTip();

    QImage FImage;
    TSize FImageSize;  // in logical pixels
    TCanvas FCanvas;
    TFont FFont;
    TColor FColor = clBtnFace;
    std::string FCaption;
    mutable std::string FHint;
    mutable std::function<std::string()> FComposeHint;
    bool FShowHint = false;
    bool FVisible = true;
    bool FOpaque = false;
    bool FPainting = false;
    bool FNeedsPaint = true;
    int FPaintCount = 0;
};
