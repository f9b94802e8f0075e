// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <clocale>
#include <string>

// Sets the C library's locale for its lifetime, as the application does from the user's
// environment, then restores the previous one. Available() is false when the system lacks
// that locale (scripts/setup generates the ones the tests use).
class ScopedCLocale {
public:
    explicit ScopedCLocale(const char* name) : FName(name), FSaved(std::setlocale(LC_ALL, nullptr))
    {
        FAvailable = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedCLocale() { std::setlocale(LC_ALL, FSaved.c_str()); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

    bool Available() const { return FAvailable; }
    // For a skip message.
    std::string Missing() const { return "the C library has no locale " + FName + "; scripts/setup generates it"; }

private:
    std::string FName;
    std::string FSaved;
    bool FAvailable = false;
};
