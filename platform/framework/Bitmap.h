// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

#include <QImage>

#include "platform/framework/Canvas.h"
#include "platform/framework/Persistent.h"
#include "platform/framework/PixelGrid.h"

// An off-screen picture with a canvas, its size in logical pixels. A new or resized bitmap is
// white. It is drawn at a device pixel ratio of 1 unless it covers part of a canvas (Cover).
class TBitmap : public TPersistent {
public:
    TBitmap();
    TBitmap(int Width, int Height);
    std::string ClassName() const override { return "TBitmap"; }

    int Width() const { return FSize.cx; }
    int Height() const { return FSize.cy; }
    // Keeps the device pixel ratio, on a grid of its own.
    void SetSize(int Width, int Height);
    void SetWidth(int Value) { SetSize(Value, Height()); }
    void SetHeight(int Value) { SetSize(Width(), Value); }
    // Sizes the bitmap to hold the area R of Canvas on Canvas's own device pixels: the same
    // ratio and a grid that continues Canvas's, so that pixels copied between the two at the
    // same place are copied one to one, and what is drawn here at (x, y) lands where it would
    // on Canvas at (R.Left + x, R.Top + y).
    void Cover(const TCanvas& Canvas, const TRect& R);
    const TPixelGrid& Grid() const { return FCanvas->Grid(); }

    TCanvas& Canvas() { return *FCanvas; }
    const TCanvas& Canvas() const { return *FCanvas; }
    // The finished pixels (any drawing in progress is completed first).
    const QImage& Image() const;

    // Copies the picture of another bitmap.
    void Assign(const TPersistent& Source) override;

private:
    void Resize(TSize Size, const TPixelGrid& Grid);

    QImage FImage;
    TSize FSize;
    std::unique_ptr<TCanvas> FCanvas;
};
