// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/ValueUnit.h"
#include "platform/framework/Exception.h"
#include "platform/framework/FormatFloat.h"

TEST(ValueUnit, OffersTheFuelsWithTheirStoichiometricRatios)
{
    std::vector<std::pair<std::string, double>> fuels;
    for (const TFuel& fuel : Fuels())
        fuels.emplace_back(fuel.Name, fuel.Ratio);
    const std::vector<std::pair<std::string, double>> expected{
        {"gasoline", 14.7}, {"E10", 14.1}, {"E85", 9.8}, {"ethanol", 9.0},
        {"methanol", 6.4},  {"diesel", 14.5}, {"LPG", 15.7}, {"CNG", 17.2}};
    EXPECT_EQ(fuels, expected);
}

TEST(ValueUnit, AfrIsLambdaTimesTheRatio)
{
    const ScopedFormatLocale english(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const TValueUnit lambda;
    const TValueUnit gasoline = TValueUnit::Afr(Fuels()[0].Ratio);
    EXPECT_EQ(lambda.Format(lambda.FromLambda(1.0f)), "1.000");
    EXPECT_EQ(gasoline.Format(gasoline.FromLambda(1.0f)), "14.70");
    EXPECT_EQ(gasoline.Format(gasoline.FromLambda(0.85f)), "12.50");
    EXPECT_EQ(TValueUnit::Afr(17.2).Format(TValueUnit::Afr(17.2).FromLambda(1.2f)), "20.64");
    EXPECT_FALSE(lambda.IsAfr());
    EXPECT_STREQ(gasoline.Name(), "AFR");
    const ScopedFormatLocale german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(gasoline.Format(gasoline.FromLambda(1.0f)), "14,70");
}

TEST(ValueUnit, ARatioOutsideWhatFuelsHaveIsRefused)
{
    for (const double ratio : {0.0, 0.5, 50.5, -14.7, std::nan("")})
        EXPECT_THROW(TValueUnit::Afr(ratio), ERangeError) << ratio;
    EXPECT_NO_THROW(TValueUnit::Afr(1.0));
    EXPECT_NO_THROW(TValueUnit::Afr(50.0));
}
