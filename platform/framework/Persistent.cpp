// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/Persistent.h"

#include "platform/framework/Exception.h"

void TPersistent::Assign(const TPersistent& Source)
{
    Source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& Dest) const
{
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest.ClassName());
}
