// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/ErrorDialog.h"

#include <QApplication>
#include <QMessageBox>

#include <algorithm>

#include "platform/framework/ApplicationErrors.h"

TErrorDialog::TErrorDialog() : FShowBox(&TErrorDialog::MessageBox) {}

TErrorDialog::TErrorDialog(TShowBox ShowBox) : FShowBox(std::move(ShowBox)) {}

TErrorDialog::~TErrorDialog()
{
    if (FInstalled)
        SetApplicationExceptionHandler(nullptr);
}

void TErrorDialog::Install()
{
    SetApplicationExceptionHandler([this](const std::string& message) { Show(message); });
    FInstalled = true;
}

void TErrorDialog::Show(const std::string& Message)
{
    if ((FShowing && Message == FCurrent) ||
        std::find(FWaiting.begin(), FWaiting.end(), Message) != FWaiting.end())
        return;
    FWaiting.push_back(Message);
    if (FShowing || FScheduled)
        return;
    FScheduled = true;
    QMetaObject::invokeMethod(&FContext, [this] { ShowWaiting(); }, Qt::QueuedConnection);
}

void TErrorDialog::ShowWaiting()
{
    FScheduled = false;
    FShowing = true;
    while (!FWaiting.empty()) {
        FCurrent = FWaiting.front();
        FWaiting.pop_front();
        try {
            FShowBox(FCurrent);
        } catch (...) {
            // A box that cannot be shown must not take the program down with it.
        }
    }
    FCurrent.clear();
    FShowing = false;
}

void TErrorDialog::MessageBox(const std::string& Message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), QString::fromStdString(Message),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
