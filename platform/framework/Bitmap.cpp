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
    Resize({Width, Height}, TPixelGrid{Grid().Ratio, {}});
}

void TBitmap::Cover(const TCanvas& Canvas, const TRect& R)
{
    Resize({R.Width(), R.Height()}, Canvas.Grid().Cut(R));
}

void TBitmap::Resize(TSize Size, const TPixelGrid& Grid)
{
    Size = {std::max(0, Size.cx), std::max(0, Size.cy)};
    if (Size == FSize && Grid == this->Grid())
        return;
    FCanvas->Release();
    const QSize device = Grid.DeviceSize(Size);
    if (device != FImage.size() || Grid.Ratio != FImage.devicePixelRatio()) {
        if (device.isEmpty()) {
            FImage = QImage();
        } else {
            FImage = QImage(device, QImage::Format_ARGB32_Premultiplied);
            FImage.fill(Qt::white);
        }
    }
    FSize = Size;
    FCanvas->SetTarget(&FImage, FSize, Grid);
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
    FSize = src->FSize;
    FCanvas->SetTarget(&FImage, FSize, src->Grid());
}
