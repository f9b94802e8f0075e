// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/framework/Object.h"

// An object whose state can be copied from another object with Assign. A class that knows
// how to copy from a source overrides Assign; a source that knows how to copy itself into
// other classes overrides AssignTo.
class TPersistent : public TObject {
public:
    std::string ClassName() const override { return "TPersistent"; }

    // Copies Source into this object. The default asks Source to do it (AssignTo).
    virtual void Assign(const TPersistent& Source);

protected:
    // Copies this object into Dest; the default refuses with EConvertError.
    virtual void AssignTo(TPersistent& Dest) const;
};
