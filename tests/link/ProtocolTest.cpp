// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QLocale>

#include "platform/framework/FormatFloat.h"

#include "link/Protocol.h"

using namespace protocol;

namespace {

Frame Bytes(std::initializer_list<int> values)
{
    Frame f;
    for (int v : values)
        f.push_back(static_cast<std::uint8_t>(v));
    return f;
}

template <size_t N>
Frame Bytes(const std::array<std::uint8_t, N>& a)
{
    return Frame(a.begin(), a.end());
}

}  // namespace

TEST(Checksum, InvertedSumOfAllBytes)
{
    EXPECT_EQ(Checksum(Bytes({0xC0, 0x04, 0x26})), 0x15);
    EXPECT_EQ(Checksum(Bytes({})), 0xFF);
    EXPECT_EQ(Checksum(Bytes({0xFF, 0x01})), 0xFF);  // the sum wraps at 256
    // Two different reads share one checksum.
    EXPECT_EQ(Checksum(Bytes({0xC0, 0x06, 0x60, 0x00, 0x20})), 0xB9);
    EXPECT_EQ(Checksum(Bytes({0xC0, 0x06, 0x60, 0x10, 0x10})), 0xB9);
}

struct FixedRequestCase {
    const char* name;
    Frame frame;     // as the program sends it
    Frame expected;  // as the controller expects it
};

class FixedRequest : public testing::TestWithParam<FixedRequestCase> {};

TEST_P(FixedRequest, IsExactAndCarriesItsOwnChecksum)
{
    const FixedRequestCase& c = GetParam();
    EXPECT_EQ(c.frame, c.expected);
    ASSERT_EQ(c.frame.size(), c.frame[1]) << "length byte";
    EXPECT_EQ(c.frame.back(), Checksum(std::span(c.frame).first(c.frame.size() - 1)));
}

INSTANTIATE_TEST_SUITE_P(
    Requests, FixedRequest,
    testing::Values(
        //               name      frame                          expected bytes
        FixedRequestCase{"Live", Bytes(LiveRequest), Bytes({0xC0, 0x04, 0x26, 0x15})},
        FixedRequestCase{"Version", Bytes(VersionRequest), Bytes({0xC0, 0x04, 0x24, 0x17})},
        FixedRequestCase{"Sensor1", Bytes(Sensor1Request), Bytes({0xC0, 0x06, 0x60, 0x10, 0x10, 0xB9})},
        FixedRequestCase{"Sensor2", Bytes(Sensor2Request), Bytes({0xC0, 0x06, 0x60, 0x20, 0x10, 0xA9})},
        FixedRequestCase{"Sensor3", Bytes(Sensor3Request), Bytes({0xC0, 0x06, 0x60, 0x30, 0x20, 0x89})},
        FixedRequestCase{"Sensor4", Bytes(Sensor4Request), Bytes({0xC0, 0x06, 0x60, 0x40, 0x20, 0x79})},
        FixedRequestCase{"Config", Bytes(ConfigRequest), Bytes({0xC0, 0x06, 0x60, 0x00, 0x20, 0xB9})}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteFrameCase {
    const char* name;
    Frame frame;
    Frame expected;
};

class WriteFrame : public testing::TestWithParam<WriteFrameCase> {};

TEST_P(WriteFrame, IsExact)
{
    EXPECT_EQ(GetParam().frame, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, WriteFrame,
    testing::Values(
        //             name                 built frame                          expected bytes
        WriteFrameCase{"Calibration1000", CalibrationFrame(1, 1000),
                       Bytes({0xC0, 0x08, 0x62, 0x10, 0x02, 0x03, 0xE8, 0xD8})},
        WriteFrameCase{"Calibration0x1234Ch4", CalibrationFrame(4, 0x1234),
                       Bytes({0xC0, 0x08, 0x62, 0x40, 0x02, 0x12, 0x34, Checksum(Bytes({0xC0, 0x08, 0x62, 0x40, 0x02, 0x12, 0x34}))})},
        WriteFrameCase{"SerialXY123", SerialNumberFrame(1, "XY123"),
                       Bytes({0xC0, 0x0B, 0x62, 0x18, 0x05, 0x58, 0x59, 0x31, 0x32, 0x33, 0x6E})},
        WriteFrameCase{"SerialShortIsZeroPadded", SerialNumberFrame(2, "AB"),
                       Bytes({0xC0, 0x0B, 0x62, 0x28, 0x05, 0x41, 0x42, 0x00, 0x00, 0x00,
                              Checksum(Bytes({0xC0, 0x0B, 0x62, 0x28, 0x05, 0x41, 0x42}))})},
        WriteFrameCase{"SerialLongIsCutToFive", SerialNumberFrame(3, "ABCDEFG"),
                       Bytes({0xC0, 0x0B, 0x62, 0x38, 0x05, 'A', 'B', 'C', 'D', 'E',
                              Checksum(Bytes({0xC0, 0x0B, 0x62, 0x38, 0x05, 'A', 'B', 'C', 'D', 'E'}))})},
        WriteFrameCase{"SerialWideCharBecomesQuestionMark", SerialNumberFrame(1, QString::fromUtf8("\xC3\xA9" "\xE2\x82\xAC" "12")),
                       Bytes({0xC0, 0x0B, 0x62, 0x18, 0x05, 0xE9, '?', '1', '2', 0x00,
                              Checksum(Bytes({0xC0, 0x0B, 0x62, 0x18, 0x05, 0xE9, '?', '1', '2'}))})},
        WriteFrameCase{"CanAddress", CanAddressFrame(2046),
                       Bytes({0xC0, 0x08, 0x62, 0x02, 0x02, 0x07, 0xFE, Checksum(Bytes({0xC0, 0x08, 0x62, 0x02, 0x02, 0x07, 0xFE}))})},
        WriteFrameCase{"SlaveCanAddressLow16Bits", SlaveCanAddressFrame(static_cast<std::uint16_t>(70000)),
                       Bytes({0xC0, 0x08, 0x62, 0x0A, 0x02, 0x11, 0x70, Checksum(Bytes({0xC0, 0x08, 0x62, 0x0A, 0x02, 0x11, 0x70}))})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decode, BigEndianAndLambda)
{
    EXPECT_EQ(BigEndian(0x03, 0xE8), 1000);
    EXPECT_EQ(BigEndian(0xFF, 0xFF), 65535);
    EXPECT_EQ(Lambda(1000), 1.0f);
    EXPECT_EQ(Lambda(650), 0.65f);
    EXPECT_EQ(Lambda(65535), 65.535f);
    EXPECT_EQ(Lambda(0), 0.0f);
}

TEST(Decode, SupplyVoltageInExtendedThenSinglePrecision)
{
    EXPECT_EQ(SupplyVoltage(204), static_cast<float>(12.799997952L));
    EXPECT_EQ(SupplyVoltage(255), static_cast<float>(15.99999744L));
    EXPECT_EQ(SupplyVoltage(0), 0.0f);
}

TEST(Decode, CanAddressWeightsB1With576)
{
    struct Case {
        std::uint8_t b0, b1, b2, b3;
        int expected;
    };
    const Case cases[] = {
        // b0    b1    b2    b3    value
        {0x01, 0x02, 0x03, 0x04, 2948},
        {0x00, 0x00, 0x07, 0xFE, 2046},
        {0x01, 0x00, 0x00, 0x00, 1024},
        {0x00, 0x01, 0x00, 0x00, 576},
        {0xFF, 0xFF, 0xFF, 0xFF, 255 * 1024 + 255 * 576 + 255 * 256 + 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CanAddress(c.b0, c.b1, c.b2, c.b3), c.expected) << int(c.b0) << ' ' << int(c.b1);
}

TEST(Decode, SerialNumberTextIsLatin1UpToTheFirstZero)
{
    const std::array<std::uint8_t, 5> plain{'K', 'V', '0', '0', '1'};
    EXPECT_EQ(SerialNumberText(plain), "KV001");
    const std::array<std::uint8_t, 5> accented{'A', 0xE9, 'B', 'C', 'D'};
    EXPECT_EQ(SerialNumberText(accented), QString::fromUtf8("A\xC3\xA9" "BCD"));
    EXPECT_EQ(SerialNumberText(accented).at(1).unicode(), 233);
    const std::array<std::uint8_t, 5> zeroThird{'A', 'B', 0x00, 'C', 'D'};
    EXPECT_EQ(SerialNumberText(zeroThird), "AB");
    // What the write side stores reads back as typed.
    EXPECT_EQ(SerialNumberText(SerialNumberBytes("Q7")), "Q7");
}

TEST(Decode, VersionTextHasTwoSignificantDigits)
{
    struct Case {
        int tenths;
        const char* expected;
    };
    const Case cases[] = {
        // byte  text
        {28, "V2.8"}, {5, "V0.5"}, {0, "V0.0"}, {99, "V9.9"},
        {100, "V10.0"}, {104, "V10.0"}, {105, "V11.0"}, {125, "V13.0"}, {255, "V26.0"},
    };
    const ScopedFormatLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const Case& c : cases)
        EXPECT_EQ(VersionText(static_cast<std::uint8_t>(c.tenths)), c.expected) << c.tenths;
}

TEST(Decode, VersionTextUsesTheLocalesDecimalSeparator)
{
    const ScopedFormatLocale german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(VersionText(28), "V2,8");
    EXPECT_EQ(VersionText(125), "V13,0");
}
