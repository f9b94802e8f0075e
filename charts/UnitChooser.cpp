// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/UnitChooser.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>

#include "platform/framework/FormatFloat.h"

namespace {

constexpr double kDefaultCustomRatio = 14.7;

}  // namespace

TUnitChooser::TUnitChooser(QWidget* parent) : QWidget(parent)
{
    UnitBox = new QComboBox(this);  // the layout's widget owns them
    UnitBox->setObjectName("UnitBox");
    UnitBox->addItem("Lambda");
    for (const TFuel& fuel : Fuels())
        UnitBox->addItem(QString("AFR %1 %2").arg(fuel.Name, QString::fromStdString(FormatFloat("0.0", fuel.Ratio))));
    UnitBox->addItem("AFR custom");
    RatioBox = new QDoubleSpinBox(this);
    RatioBox->setObjectName("RatioBox");
    RatioBox->setLocale(FormatSettings().Locale);
    RatioBox->setRange(TValueUnit::kMinRatio, TValueUnit::kMaxRatio);
    RatioBox->setDecimals(2);
    RatioBox->setSingleStep(0.1);
    RatioBox->setValue(kDefaultCustomRatio);
    RatioBox->setEnabled(false);
    RatioBox->setToolTip("Stoichiometric air-fuel ratio");

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(UnitBox);
    layout->addWidget(RatioBox);

    connect(UnitBox, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
    connect(RatioBox, &QDoubleSpinBox::valueChanged, this, [this] { Changed(); });
}

TValueUnit TUnitChooser::Unit() const
{
    const int index = UnitBox->currentIndex();
    const auto fuels = Fuels();
    if (index <= 0)
        return TValueUnit();
    if (static_cast<size_t>(index) <= fuels.size())
        return TValueUnit::Afr(fuels[static_cast<size_t>(index - 1)].Ratio);
    return TValueUnit::Afr(RatioBox->value());
}

void TUnitChooser::Changed()
{
    RatioBox->setEnabled(UnitBox->currentIndex() == UnitBox->count() - 1);
    if (OnChange)
        OnChange();
}
