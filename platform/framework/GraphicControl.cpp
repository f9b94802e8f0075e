// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/GraphicControl.h"

#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include "platform/framework/ApplicationErrors.h"

namespace {

TShiftState ShiftOf(const QMouseEvent* e)
{
    TShiftState s;
    if (e->modifiers() & Qt::ShiftModifier)
        s.Include(ssShift);
    if (e->modifiers() & Qt::AltModifier)
        s.Include(ssAlt);
    if (e->modifiers() & Qt::ControlModifier)
        s.Include(ssCtrl);
    if (e->buttons() & Qt::LeftButton)
        s.Include(ssLeft);
    if (e->buttons() & Qt::RightButton)
        s.Include(ssRight);
    if (e->buttons() & Qt::MiddleButton)
        s.Include(ssMiddle);
    return s;
}

bool ButtonOf(const QMouseEvent* e, TMouseButton& b)
{
    switch (e->button()) {
    case Qt::LeftButton: b = mbLeft; return true;
    case Qt::RightButton: b = mbRight; return true;
    case Qt::MiddleButton: b = mbMiddle; return true;
    default: return false;
    }
}

}  // namespace

TGraphicControl::TGraphicControl(TComponent* AOwner, QWidget* AParent)
    : QWidget(AParent ? AParent : dynamic_cast<QWidget*>(AOwner)), TComponent(AOwner)
{
    FCanvas.OnDrawn = [this](const TRect& r) {
        if (!FPainting)
            update(QRect(r.Left, r.Top, r.Width(), r.Height()));
    };
    FFont.OnChange = [this](TObject*) { Perform(CM_FONTCHANGED, 0, 0); };
}

TGraphicControl::~TGraphicControl()
{
    FCanvas.Release();
    FCanvas.OnDrawn = nullptr;
}

void TGraphicControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    setGeometry(ALeft, ATop, std::max(0, AWidth), std::max(0, AHeight));
    EnsureImage();
}

void TGraphicControl::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Invalidate();
}

void TGraphicControl::SetVisible(bool Value)
{
    // A control without a parent is not shown as a window of its own.
    if (parentWidget() || !Value)
        setVisible(Value);
    else
        NoteVisible(true);
}

void TGraphicControl::setVisible(bool visible)
{
    NoteVisible(visible);
    QWidget::setVisible(visible);
}

void TGraphicControl::NoteVisible(bool Value)
{
    if (Value && !FVisible)
        FNeedsPaint = true;
    FVisible = Value;
}

void TGraphicControl::SetCaption(const std::string& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    Perform(CM_TEXTCHANGED, 0, 0);
}

const std::string& TGraphicControl::Hint() const
{
    if (FComposeHint) {
        FHint = FComposeHint();
        FComposeHint = nullptr;
    }
    return FHint;
}

void TGraphicControl::SetHint(const std::string& Value)
{
    FComposeHint = nullptr;
    FHint = Value;
    ApplyToolTip();
}

void TGraphicControl::SetHintLater(std::function<std::string()> Compose)
{
    FComposeHint = std::move(Compose);
}

void TGraphicControl::SetShowHint(bool Value)
{
    FShowHint = Value;
    ApplyToolTip();
}

void TGraphicControl::ApplyToolTip()
{
    const std::string& hint = Hint();
    QString tip = QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size()));
    tip.replace(QChar(13), QChar(10));
    setToolTip(FShowHint ? tip : QString());
}

void TGraphicControl::Invalidate()
{
    FNeedsPaint = true;
    update();
}

void TGraphicControl::Repaint()
{
    PaintImage();
    update();
}

const QImage& TGraphicControl::Image()
{
    EnsureImage();
    FCanvas.Release();
    return FImage;
}

std::intptr_t TGraphicControl::Perform(unsigned Msg, std::intptr_t WParam, std::intptr_t LParam)
{
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

void TGraphicControl::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_FONTCHANGED)
        Invalidate();
}

void TGraphicControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TGraphicControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TGraphicControl::Click()
{
    Fire(OnClick, this);
}

bool TGraphicControl::EnsureImage()
{
    const TSize size{std::max(1, width()), std::max(1, height())};
    const double ratio = devicePixelRatioF();
    if (size == FImageSize && ratio == FImage.devicePixelRatio())
        return false;
    FCanvas.Release();
    // Every device pixel the control touches on the screen, the last one partly at a
    // fractional ratio.
    FImage = QImage(static_cast<int>(std::ceil(size.cx * ratio)), static_cast<int>(std::ceil(size.cy * ratio)),
                    QImage::Format_ARGB32_Premultiplied);
    FImage.fill(Qt::transparent);
    FImageSize = size;
    FCanvas.SetTarget(&FImage, size, TPixelGrid{ratio, {}});
    FNeedsPaint = true;
    return true;
}

void TGraphicControl::PaintImage()
{
    if (FPainting)
        return;
    EnsureImage();
    FPainting = true;
    FCanvas.Release();
    FImage.fill(FOpaque ? ToQColor(FColor) : QColor(Qt::transparent));
    FCanvas.Font().Assign(FFont);
    ++FPaintCount;
    try {
        Paint();
    } catch (...) {
        FCanvas.Release();
        FPainting = false;
        throw;
    }
    FCanvas.Release();
    FPainting = false;
    FNeedsPaint = false;
}

bool TGraphicControl::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        ApplyToolTip();  // the hint may have changed unseen (see SetHintLater)
        break;
    case QEvent::ScreenChangeInternal:  // moved to another screen, perhaps of another ratio
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    case QEvent::DevicePixelRatioChange:  // the screen's own scale changed
#endif
        if (EnsureImage())
            update();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TGraphicControl::paintEvent(QPaintEvent* event)
{
    EnsureImage();  // in case the ratio changed unannounced
    // Failures go to the application's error handler, never through the event loop.
    if (FNeedsPaint)
        GuardedCall([this] { PaintImage(); });
    FCanvas.Release();
    // The image's device pixels under the area, shown one to one.
    const double ratio = FImage.devicePixelRatio();
    const QRect area = event->rect();
    const QRect pixels =
        QRect(QPoint(static_cast<int>(std::floor(area.left() * ratio)), static_cast<int>(std::floor(area.top() * ratio))),
              QPoint(static_cast<int>(std::ceil((area.right() + 1) * ratio)) - 1,
                     static_cast<int>(std::ceil((area.bottom() + 1) * ratio)) - 1)) &
        FImage.rect();
    QPainter p(this);
    p.drawImage(QRectF(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio, pixels.height() / ratio),
                FImage, pixels);
}

void TGraphicControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    EnsureImage();
}

void TGraphicControl::mousePressEvent(QMouseEvent* event)
{
    TMouseButton b;
    if (!ButtonOf(event, b))
        return;
    const QPoint pos = event->position().toPoint();
    const TShiftState shift = ShiftOf(event);
    GuardedCall([&] { MouseDown(b, shift, pos.x(), pos.y()); });
}

void TGraphicControl::mouseReleaseEvent(QMouseEvent* event)
{
    TMouseButton b;
    if (!ButtonOf(event, b))
        return;
    const QPoint pos = event->position().toPoint();
    const TShiftState shift = ShiftOf(event);
    GuardedCall([&] {
        MouseUp(b, shift, pos.x(), pos.y());
        if (b == mbLeft && rect().contains(pos))
            Click();
    });
}
