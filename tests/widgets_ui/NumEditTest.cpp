// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QTest>

#include "platform/framework/ApplicationErrors.h"
#include "platform/framework/Canvas.h"
#include "platform/framework/Exception.h"
#include "platform/framework/FormatFloat.h"
#include "widgets/AbNumEdit.h"

namespace {

TEST(NumEditText, BinaryAndHexadecimalForms)
{
    EXPECT_EQ(IntToBin(5, 0), "101");
    EXPECT_EQ(IntToBin(5, 7), "00000101");
    EXPECT_EQ(IntToBin(0, 0), "0");
    EXPECT_EQ(IntToBin(5, -3), "101");
    EXPECT_EQ(IntToBin(-1, 0), std::string(32, '1'));
    EXPECT_EQ(BinToInt("101"), 5);
    EXPECT_EQ(BinToInt("1x1"), 5);
    EXPECT_EQ(IntToHex(31, 4), "001F");
    EXPECT_EQ(IntToHex(-1, 0), "FFFFFFFF");
    EXPECT_EQ(RemoveChar("1,000,000", ','), "1000000");
}

TEST(NumEditText, ValidCharactersThatAreNoNumberRaiseAConversionError)
{
    ScopedFormatLocale locale{QLocale::c()};
    EXPECT_THROW(ParseNumber("1e", ebFloat, 1), EConvertError);
    EXPECT_THROW(ParseNumber("99999999999", ebInt, 1), EConvertError);
    EXPECT_THROW(ParseNumber("123456789", ebHex, 1), EConvertError);
    EXPECT_EQ(ParseNumber("FFFFFFFF", ebHex, 1), -1);
    EXPECT_EQ(ParseNumber("-2.5e2", ebFloat, 1), -250);
}

// An edit on a shown form, past loading, with the C locale's separators.
class NumEdit : public testing::Test {
protected:
    NumEdit()
    {
        form.resize(200, 60);
        edit = new TAbNumEdit(nullptr, &form);  // the form frees it
        other = new QLineEdit(&form);
        other->move(100, 0);
        edit->OnValueChanged = [this](TObject*) { ++valueChanges; };
        edit->OnLimit = [this](TObject*) { ++limits; };
        SetApplicationExceptionHandler([this](const std::string& m) { errors.push_back(m); });
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        edit->setFocus();
    }
    ~NumEdit() override { SetApplicationExceptionHandler(nullptr); }

    void Loaded()
    {
        edit->BeginLoading();
        edit->EndLoading();
    }
    // Replaces the text by typing, as a user would.
    void Type(const std::string& text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        // Key by key; characters beyond ASCII come as a keyboard layout sends them.
        for (const QChar ch : QString::fromStdString(text)) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(edit, ch.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
    // Replaces the text in one piece, as pasting does.
    void Paste(const std::string& text)
    {
        edit->selectAll();
        edit->insert(QString::fromStdString(text));
    }
    void Enter() { QTest::keyClick(edit, Qt::Key_Return); }

    ScopedFormatLocale locale{QLocale::c()};
    QWidget form;
    TAbNumEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    int valueChanges = 0;
    int limits = 0;
    std::vector<std::string> errors;
};

TEST_F(NumEdit, UpperLimitClampsAndAnnouncesEachCrossing)
{
    edit->SetMinValue(1);
    edit->SetMaxValue(40000);
    edit->SetOptions({eoLimitMax});
    Loaded();
    Type("50000");
    EXPECT_EQ(edit->State(), esEditing);
    EXPECT_EQ(edit->Value(), 0);  // typing only validates
    Enter();
    EXPECT_EQ(edit->Text(), "40000");
    EXPECT_EQ(edit->Value(), 40000);
    EXPECT_TRUE(edit->LimitUp());
    EXPECT_EQ(limits, 1);
    EXPECT_EQ(valueChanges, 1);
    EXPECT_EQ(edit->State(), esNormal);

    QTest::keyClick(edit, Qt::Key_Up);  // at the limit: nothing moves
    EXPECT_EQ(edit->Text(), "40000");
    EXPECT_EQ(limits, 1);

    Type("0");  // the lower limit is not enforced without eoLimitMin
    Enter();
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_FALSE(edit->LimitUp());
    EXPECT_EQ(limits, 2);
}

// A value read from elsewhere is shown as it is, beyond the limits too. Enter without typing
// keeps it; only an entry of the user is brought into the range.
TEST_F(NumEdit, ShownValueBeyondTheLimitsStaysUntilTheUserEntersOne)
{
    edit->SetMaxValue(2046);
    edit->SetOptions({eoLimitMin, eoLimitMax});
    Loaded();
    edit->ShowValue(4095);
    EXPECT_EQ(edit->Text(), "4095");
    EXPECT_TRUE(edit->LimitUp());
    EXPECT_EQ(valueChanges, 1);
    Enter();
    EXPECT_EQ(edit->Text(), "4095") << "nothing typed, nothing applied";
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Text(), "4095") << "no step further out";
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Text(), "2046") << "a step comes back to the range's end";
    EXPECT_EQ(valueChanges, 2);
}

TEST_F(NumEdit, ArrowKeysStep)
{
    Loaded();
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Text(), "2");
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Value(), 1);
    EXPECT_EQ(valueChanges, 3);
    edit->SetIncrement(10);
    edit->SetOptions({eoMultiply});
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Value(), 10);
}

struct TypedCase {
    TEditBase base;
    const char* typed;
    const char* shown;
    double value;
};

class NumEditTyping : public NumEdit, public testing::WithParamInterface<TypedCase> {};

TEST_P(NumEditTyping, EnterAppliesWhatWasTyped)
{
    const TypedCase& c = GetParam();
    edit->SetEditBase(c.base);
    Loaded();
    Type(c.typed);
    Enter();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(edit->Text(), c.shown);
    EXPECT_NEAR(edit->Value(), c.value, 1e-9);
    EXPECT_EQ(edit->State(), esNormal);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, NumEditTyping,
    testing::Values(
        // base, typed, shown, value
        TypedCase{ebFloat, "12k", "12000", 12000}, TypedCase{ebFloat, "k", "1000", 1000},
        TypedCase{ebFloat, "12m", "0", 0.012f * 1.0}, TypedCase{ebFloat, "$1F", "31", 31},
        TypedCase{ebFloat, "E3", "1000", 1000}, TypedCase{ebFloat, "-", "0", 0},
        TypedCase{ebFloat, "1,234.5", "1234.5", 1234.5}, TypedCase{ebFloat, "&101", "5", 5},
        TypedCase{ebFloat, "1e5", "100000", 100000}, TypedCase{ebInt, "12k", "12000", 12000},
        TypedCase{ebInt, "!2.5", "2", 2.5}, TypedCase{ebHex, "1f", "1F", 31},
        TypedCase{ebBin, "101", "101", 5}));

struct BadCase {
    TEditBase base;
    const char* typed;
    int selStart, selLength;
};

class NumEditBadInput : public NumEdit, public testing::WithParamInterface<BadCase> {};

TEST_P(NumEditBadInput, MarksTheInvalidPartAndKeepsTheValue)
{
    const BadCase& c = GetParam();
    edit->SetEditBase(c.base);
    Loaded();
    edit->SetValue(7);
    valueChanges = 0;
    Paste(c.typed);  // typed key by key, each next key would overwrite the marked part
    EXPECT_EQ(edit->State(), esError);
    EXPECT_EQ(edit->selectionStart(), c.selStart);
    EXPECT_EQ(edit->selectionLength(), c.selLength);
    Enter();
    EXPECT_EQ(edit->Value(), 7);
    EXPECT_EQ(edit->State(), esError);
    EXPECT_EQ(valueChanges, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, NumEditBadInput,
    testing::Values(
        // base, typed, selection start, selection length
        BadCase{ebFloat, "1.2.3", 3, 1}, BadCase{ebFloat, "1x2y", 1, 3}, BadCase{ebInt, "12m", 2, 1},
        BadCase{ebHex, "1g", 1, 1}, BadCase{ebBin, "102", 2, 1}));

TEST_F(NumEdit, EscapeRestoresTheTextOfTheValue)
{
    Loaded();
    edit->SetValue(12.5);
    Type("99");
    EXPECT_EQ(edit->State(), esEditing);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), "12.5");
    EXPECT_EQ(edit->State(), esNormal);
    EXPECT_EQ(edit->Value(), 12.5);
}

TEST_F(NumEdit, EmptyFieldBecomesZeroOnEnterAndOnLeaving)
{
    Loaded();
    edit->SetValue(3);
    Type("");
    EXPECT_EQ(edit->State(), esEditing);
    Enter();
    EXPECT_EQ(edit->Text(), "0");
    EXPECT_EQ(edit->Value(), 0);

    edit->SetValue(3);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }, 5000));
    Type("");
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->Text() == "0"; }, 5000));
    EXPECT_EQ(edit->Value(), 0);
}

TEST_F(NumEdit, IncompleteNumberIsReportedOnlyWhenApplied)
{
    Loaded();
    edit->SetValue(4);
    Type("1e");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(edit->State(), esEditing);
    Enter();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "'1e' is not a valid floating point value");
    EXPECT_EQ(edit->Value(), 4);
    EXPECT_EQ(edit->State(), esNormal) << "applied, though no number";
    EXPECT_EQ(edit->palette().color(QPalette::Base), ToQColor(edit->ColorDefault()));
}

struct LocaleCase {
    const char* locale;
    const char* grouped;        // 1234.5 with the locale's thousands and decimal separators
    const char* shown;          // 1234.5 as the edit then shows it
    const char* twoSeparators;  // 1.2.3 with the locale's decimal separator
};

// Separators of two or three bytes: U+066B and U+066C in Arabic and Persian, U+202F in French.
class NumEditLocale : public NumEdit, public testing::WithParamInterface<LocaleCase> {
protected:
    ScopedFormatLocale pinned{QLocale(GetParam().locale)};
};

TEST_P(NumEditLocale, TakesTheLocalesSeparatorsAndMarksASecondDecimalSeparator)
{
    const LocaleCase& c = GetParam();
    const std::string decimal = FormatSettings().DecimalSeparator;
    Loaded();
    Type("2" + decimal + "5");
    EXPECT_EQ(edit->State(), esEditing);
    Enter();
    EXPECT_EQ(edit->Value(), 2.5);
    EXPECT_EQ(edit->State(), esNormal);

    Type(c.grouped);
    Enter();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(edit->Value(), 1234.5);
    EXPECT_EQ(edit->Text(), c.shown);
    EXPECT_EQ(edit->State(), esNormal);

    Paste(c.twoSeparators);
    EXPECT_EQ(edit->State(), esError);
    EXPECT_EQ(edit->selectionStart(), 3);
    EXPECT_EQ(edit->selectedText().toStdString(), decimal);
    EXPECT_EQ(edit->Value(), 1234.5);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, NumEditLocale,
    testing::Values(
        // locale, grouped, shown, two decimal separators
        LocaleCase{"ar_EG", "1\u066C234\u066B5", "1234\u066B5", "1\u066B2\u066B3"},
        LocaleCase{"fa_IR", "1\u066C234\u066B5", "1234\u066B5", "1\u066B2\u066B3"},
        LocaleCase{"fr_FR", "1\u202F234,5", "1234,5", "1,2,3"}),
    [](const testing::TestParamInfo<LocaleCase>& info) { return std::string(info.param.locale); });

TEST_F(NumEdit, ValueChangedFiresOnlyWhenTheShownTextChanges)
{
    edit->SetValue(9);  // while loading: never announced
    EXPECT_EQ(valueChanges, 0);
    Loaded();
    edit->SetValue(5);
    EXPECT_EQ(valueChanges, 1);
    edit->SetValue(5.04);
    EXPECT_EQ(edit->Value(), 5.04);
    EXPECT_EQ(edit->Text(), "5");
    EXPECT_EQ(valueChanges, 1);
    edit->SetValue(6);
    EXPECT_EQ(valueChanges, 2);
    edit->SetValue(6);
    EXPECT_EQ(valueChanges, 2);
}

TEST_F(NumEdit, IntegerFormRoundsHalvesToEven)
{
    Loaded();
    const std::vector<std::pair<double, int>> cases{{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.6, 3}, {3e10, 2147483647}};
    for (const auto& [value, expected] : cases) {
        edit->SetValue(value);
        EXPECT_EQ(edit->ValueAsInt(), expected) << value;
    }
    edit->SetValue(31);
    EXPECT_EQ(edit->ValueAsHex(), "1F");
    EXPECT_EQ(edit->ValueAsBool(), "11111");
    edit->SetValueAsHex("FF");
    EXPECT_EQ(edit->Value(), 255);
    edit->SetValueAsSingle(7.0f);
    EXPECT_EQ(edit->Text(), "7");
}

TEST_F(NumEdit, LockedEditorSwallowsTyping)
{
    Loaded();
    edit->SetEditorEnabled(false);
    QTest::keyClicks(edit, "12");
    QTest::keyClick(edit, Qt::Key_Backspace);
    edit->home(false);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->Text(), "0");
    QTest::keyClick(edit, Qt::Key_Up);  // stepping still works
    EXPECT_EQ(edit->Text(), "1");
}

}  // namespace
