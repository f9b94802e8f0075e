// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>
#include <QPixmap>
#include <QSize>

// The program's logo, drawn for it: the name on a dark plate with a lambda and a trace, Size
// logical pixels at the device pixel ratio Ratio.
QPixmap KorvantLogo(QSize size, double ratio = 1);

// A label showing the logo at its own size, drawn at the resolution of the screen it is on:
// anew when it is resized or its window moves to a screen of another ratio.
class LogoLabel : public QLabel {
public:
    explicit LogoLabel(QWidget* parent) : QLabel(parent) {}

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Draw();
};
