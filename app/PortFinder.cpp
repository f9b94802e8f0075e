// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PortFinder.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>

#include "app/DeviceRows.h"
#include "app/DeviceWatcher.h"

PortFinder::PortFinder(int minNumber, int maxNumber, std::function<void(int)> picked, std::function<void()> listed,
                       QWidget* parent)
    : QWidget(parent), FMinNumber(minNumber), FMaxNumber(maxNumber), FPicked(std::move(picked)),
      FListed(std::move(listed))
{
    setObjectName("PortFinder");
    resize(320, 228);

    DeviceList = new QListWidget(this);
    DeviceList->setObjectName("DeviceList");
    DeviceList->setGeometry(8, 0, 304, 136);
    DeviceList->setSelectionMode(QAbstractItemView::SingleSelection);
    DeviceList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DeviceList->setWordWrap(false);
    // Rows of two to four lines stay apart.
    DeviceList->setAlternatingRowColors(true);
    DeviceList->setSpacing(1);
    QPalette palette = DeviceList->palette();
    palette.setColor(QPalette::AlternateBase, QColor(0xF0, 0xF0, 0xF0));
    DeviceList->setPalette(palette);

    HintText = new QPlainTextEdit(this);
    HintText->setObjectName("HintText");
    HintText->setGeometry(8, 140, 304, 58);  // four lines
    HintText->setReadOnly(true);  // read-only but selectable: the commands can be copied
    HintText->setFrameShape(QFrame::NoFrame);
    HintText->setFocusPolicy(Qt::ClickFocus);
    HintText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    HintText->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    HintText->viewport()->setAutoFillBackground(false);
    HintText->document()->setDocumentMargin(0);

    AdviceButton = new QPushButton("How to allow access...", this);
    AdviceButton->setObjectName("AdviceButton");
    AdviceButton->setGeometry(162, 200, 150, 24);
    AdviceButton->hide();

    FWatcher = new DeviceWatcher([this] { Refresh(); }, this);

    // A click on the row already chosen chooses it again (the number may have been changed
    // since). Focus alone makes a row current without selecting it, which chooses nothing.
    connect(DeviceList, &QListWidget::itemClicked, this, [this] { Choose(); });
    connect(DeviceList, &QListWidget::itemSelectionChanged, this, [this] { Choose(); });
    connect(AdviceButton, &QPushButton::clicked, this, [this] { ShowAdvice(); });
}

PortFinder::~PortFinder() = default;

void PortFinder::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Refresh();
}

void PortFinder::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    FWatcher->Stop();
}

int PortFinder::NumberOf(const comm::SerialDeviceEntry& device) const
{
    return ReachableNumber(device, FMinNumber, FMaxNumber);
}

void PortFinder::Refresh()
{
    const comm::SerialDeviceEntry* chosen = Chosen();
    const std::string chosenPath = chosen ? chosen->path : std::string();
    FDevices = comm::ListSerialDevices(Sources);
    {
        // Filling the list is no choice of the user's: the spin box keeps its number.
        const QSignalBlocker quiet(DeviceList);
        DeviceList->clear();
        const QFontMetrics metrics(DeviceList->font());
        const int room = DeviceList->width() - 2 * DeviceList->frameWidth() -
                         DeviceList->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 8;
        for (size_t i = 0; i < FDevices.size(); ++i) {
            const comm::SerialDeviceEntry& device = FDevices[i];
            const QStringList lines = DeviceRowLines(device, NumberOf(device));
            QStringList shown;
            for (const QString& line : lines)
                shown << metrics.elidedText(line, Qt::ElideMiddle, room);
            auto* item = new QListWidgetItem(shown.join('\n'), DeviceList);
            item->setData(Qt::UserRole, static_cast<int>(i));
            QString tip = lines.join('\n');
            if (!device.byId.empty())
                tip += "\nstable name " + QString::fromStdString(device.byId);
            item->setToolTip(tip);
            if (!chosenPath.empty() && device.path == chosenPath)
                DeviceList->setCurrentItem(item);
        }
    }
    UpdateHint();
    FWatcher->Watch(WatchedFolders());
    if (FListed)
        FListed();
}

QStringList PortFinder::WatchedFolders() const
{
    const QString dev = QString::fromStdString(Sources.devRoot);
    QStringList folders{dev, dev + "/serial/by-id", QString::fromStdString(Sources.portDir)};
    // A linked terminal (a pseudo-terminal) lives elsewhere; its folder tells when it goes.
    for (const comm::SerialDeviceEntry& device : FDevices) {
        if (device.kind == comm::SerialDeviceKind::Linked)
            folders << QFileInfo(QString::fromStdString(device.path)).absolutePath();
    }
    return folders;
}

const comm::SerialDeviceEntry* PortFinder::Chosen() const
{
    const QListWidgetItem* item = DeviceList->currentItem();
    if (!item || !item->isSelected())
        return nullptr;
    const int index = item->data(Qt::UserRole).toInt();
    return index >= 0 && static_cast<size_t>(index) < FDevices.size() ? &FDevices[static_cast<size_t>(index)] : nullptr;
}

const comm::SerialDeviceEntry* PortFinder::HintedDevice() const
{
    if (const comm::SerialDeviceEntry* chosen = Chosen())
        return chosen;
    for (const comm::SerialDeviceEntry& device : FDevices) {
        if (NumberOf(device) == 0 || !device.mayOpen)
            return &device;
    }
    return nullptr;
}

void PortFinder::Choose()
{
    if (const comm::SerialDeviceEntry* device = Chosen(); device && NumberOf(*device) > 0)
        FPicked(NumberOf(*device));
    UpdateHint();
}

void PortFinder::UpdateHint()
{
    const comm::SerialDeviceEntry* device = HintedDevice();
    QString hint = device ? DeviceHint(*device, NumberOf(*device), QString::fromStdString(Sources.portDir), FMaxNumber)
                          : QString();
    if (hint.isEmpty())
        hint = FDevices.empty() ? "No serial device found. Plug in the adapter: it appears here."
                                : "Choose a device to set its number.";
    HintText->setPlainText(hint);
    AdviceButton->setVisible(device && !device->mayOpen);
}

void PortFinder::ShowAdvice()
{
    const comm::SerialDeviceEntry* device = HintedDevice();
    if (!device)
        return;
    const QString advice = QString::fromStdString(comm::PermissionAdvice(device->path, std::nullopt));
    if (!FAdviceBox) {
        FAdviceBox = new QMessageBox(QMessageBox::Information, "Serial port access", advice, QMessageBox::Ok, window());
        FAdviceBox->setObjectName("AdviceBox");
        FAdviceBox->setWindowModality(Qt::NonModal);
        FAdviceBox->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    // One box, brought forward again rather than stacked.
    FAdviceBox->setText(advice);
    FAdviceBox->show();
    FAdviceBox->raise();
    FAdviceBox->activateWindow();
}
