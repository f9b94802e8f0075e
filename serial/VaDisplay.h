// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/framework/Component.h"

class TVaCustomComm;

// A display the serial component refreshes at the start of every event batch. It is a plain
// component here, so the serial layer needs no widgets; a visible display derives from it
// and from a graphic control.
class TVaDisplay : public TComponent {
public:
    using TComponent::TComponent;
    std::string ClassName() const override { return "TVaDisplay"; }

    virtual void UpdateDisplay(TVaCustomComm* AOwner) = 0;
};
