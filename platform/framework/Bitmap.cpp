// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/Bitmap.h"

#include <cstring>

TBitmap::TBitmap() : FCanvas(std::make_unique<TCanvas>(&FImage)) {}

TBitmap::TBitmap(int Width, int Height) : TBitmap()
{
    SetSize(Width, Height);
}

void TBitmap::SetSize(int Width, int Height)
{
    Width = std::max(0, Width);
    Height = std::max(0, Height);
    if (Width == FImage.width() && Height == FImage.height())
        return;
    FCanvas->Release();
    if (Width == 0 || Height == 0) {
        FImage = QImage();
    } else {
        FImage = QImage(Width, Height, QImage::Format_ARGB32_Premultiplied);
        FImage.fill(Qt::white);
    }
    FCanvas->SetTarget(&FImage);
}

const QImage& TBitmap::Image() const
{
    FCanvas->Release();
    return FImage;
}

void TBitmap::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TBitmap*>(&Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    FCanvas->Release();
    const QImage& from = src->Image();
    if (FImage.size() == from.size() && FImage.format() == from.format() &&
        FImage.bytesPerLine() == from.bytesPerLine() && FImage.isDetached()) {
        // Same shape: the pixels go into this bitmap's own memory instead of a new image, so a
        // picture copied ten times a second does not cost an allocation (and page faults) each time.
        std::memcpy(FImage.bits(), from.constBits(), static_cast<size_t>(from.sizeInBytes()));
    } else {
        FImage = from.copy();
    }
    FCanvas->SetTarget(&FImage);
}
