// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

#include <functional>

#include "history/ValueUnit.h"

class QComboBox;
class QDoubleSpinBox;

// Lambda, or AFR for one of the fuels or for a stoichiometric ratio of the user's own.
class TUnitChooser : public QWidget {
public:
    explicit TUnitChooser(QWidget* parent = nullptr);

    TValueUnit Unit() const;

    QComboBox* UnitBox = nullptr;         // "Lambda", "AFR gasoline 14.7", ..., "AFR custom"
    QDoubleSpinBox* RatioBox = nullptr;  // the custom ratio, enabled for "AFR custom"

    // Called when the unit changes.
    std::function<void()> OnChange;

private:
    void Changed();
};
