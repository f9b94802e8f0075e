// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/Unit4.h"

#include <QLabel>

#include <algorithm>

#include "app/AppInfo.h"
#include "app/Logo.h"
#include "app/WindowFonts.h"

TAboutForm::TAboutForm(QWidget* MainWindow) : QWidget(MainWindow, Qt::Window), FMainWindow(MainWindow)
{
    setObjectName("AboutForm");
    setWindowTitle("About");
    setFixedSize(336, 112);
    setFont(WindowFont("Tahoma", 11));

    auto* logo = new LogoLabel(this);  // owned by this window
    logo->setGeometry(8, 8, 88, 43);

    const auto label = [this](const QString& text, int left, int top) {
        auto* l = new QLabel(text, this);
        l->move(left, top);
        l->adjustSize();
        return l;
    };
    Label1 = label(kProgramName, 104, 8);
    Label2 = label("Ver 2.8XE        2016", 117, 27);
    Label4 = label(QString("<a href=\"%1\">%1</a>").arg(kMakerAddress), 104, 63);
    Label4->setOpenExternalLinks(true);
    Label4->adjustSize();
    StaticText1 = new QLabel(QString("For support go to <a href=\"%1\">%1</a>").arg(kSupportAddress), this);
    StaticText1->setGeometry(32, 87, 279, 17);
    StaticText1->setOpenExternalLinks(true);
    // The full support address is wider than its field with this machine's fonts: let the
    // field and the window grow rather than cut it.
    StaticText1->adjustSize();
    if (StaticText1->width() < 279)
        StaticText1->resize(279, 17);
    setFixedSize(std::max(336, 32 + StaticText1->width() + 16), 112);
}

void TAboutForm::ShowOver()
{
    if (!isVisible() && FMainWindow) {
        const QRect main = FMainWindow->frameGeometry();
        move(main.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    activateWindow();
}
