// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

#include <QImage>

#include "platform/framework/Canvas.h"
#include "platform/framework/Persistent.h"

// An off-screen picture with a canvas. A new or resized bitmap is white.
class TBitmap : public TPersistent {
public:
    TBitmap();
    TBitmap(int Width, int Height);
    std::string ClassName() const override { return "TBitmap"; }

    int Width() const { return FImage.width(); }
    int Height() const { return FImage.height(); }
    void SetSize(int Width, int Height);
    void SetWidth(int Value) { SetSize(Value, Height()); }
    void SetHeight(int Value) { SetSize(Width(), Value); }

    TCanvas& Canvas() { return *FCanvas; }
    // The finished pixels (any drawing in progress is completed first).
    const QImage& Image() const;

    // Copies the picture of another bitmap.
    void Assign(const TPersistent& Source) override;

private:
    QImage FImage;
    std::unique_ptr<TCanvas> FCanvas;
};
