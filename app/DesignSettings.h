// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

#include "platform/framework/Color.h"

class TAb270Meter;
class TAbLED;
class TAbNumEdit;
class TAbValueInd;
class TFont;

// The main window's widgets as this program sets them up, in one place for the window and
// for the widget gallery. Each call sets bounds and every setting of its kind of control
// between BeginLoading and EndLoading.

// A lambda meter: 0.65 to 1.35, 14 labelled steps, lime pointer, showing -92.9 until the
// first reading.
void SetUpLambdaMeter(TAb270Meter& Meter, int Left, int Top, const std::string& Name,
                      const std::string& ValueFormat);
// A lambda readout: three decimals in lime on black.
void SetUpLambdaReadout(TAbValueInd& Readout, int Left, int Top, const std::string& Name);
// The supply-voltage readout: one decimal with name and unit.
void SetUpVoltsReadout(TAbValueInd& Readout, int Left, int Top);
// A status lamp left of its caption.
void SetUpLamp(TAbLED& Lamp, int Left, int Top, int Width, const std::string& Caption, int LampSize,
               const std::string& FontName, int FontHeight, bool Bold, TColor On, TColor Off);

void SetFont(TFont& Font, const std::string& Name, int Height, bool Bold, TColor Color = clWindowText);
