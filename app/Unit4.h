// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

class QLabel;

// The About window: the program's name, version and where to get support.
class TAboutForm : public QWidget {
public:
    explicit TAboutForm(QWidget* MainWindow);

    QLabel* Label1 = nullptr;       // the program's name
    QLabel* Label2 = nullptr;       // version and year
    QLabel* Label4 = nullptr;       // the maker's web address
    QLabel* StaticText1 = nullptr;  // the support address

    // Centres the window over the main window and shows it (or brings it forward).
    void ShowOver();

private:
    QWidget* FMainWindow;
};
