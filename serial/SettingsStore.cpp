// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serial/SettingsStore.h"

void TSettingsStore::Assign(const TPersistent& Source)
{
    if (const auto* source = dynamic_cast<const TSettingsStore*>(&Source)) {
        FKey = source->FKey;
        FLocation = source->FLocation;
        FRegRoot = source->FRegRoot;
        FSection = source->FSection;
    }
}
