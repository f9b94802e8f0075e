// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/framework/Bitmap.h"
#include "platform/framework/Font.h"
#include "platform/framework/Set.h"
#include "widgets/_GClassAnalog.h"

// Scoped, because the round meter's options share several of these names; callers write
// `using enum TValueIndOption;` where they list options.
enum class TValueIndOption { opBevelInner, opBevelOuter, opName1, opName2, opUnit };
using TValueIndOptions = TSet<TValueIndOption>;

// Measured parts of a value indicator, as the layout needs them.
struct TValueIndParts {
    TSize Name1, Name2, Value, Unit;  // Unit counts as 0 wide without opUnit
    int OuterBevel = 0;               // TotalWidth of each bevel
    int InnerBevel = 0;
    int ValueBevel = 0;
};

// The smallest size that holds every shown part.
TSize ValueIndMinSize(const TValueIndParts& Parts, TValueIndOptions Options);

// The box behind the digits, given the area R left for it (below the bevels, above the names).
TRect ValueIndValueBox(const TRect& R, const TValueIndParts& Parts);

// Value formatted by Pattern as it fits in Width, TextWidth measuring a text in the digits'
// font: a text too wide gives up decimals, one at a time (12.345 by "0.000" becomes
// "12.35"), never a digit before the decimal point. Empty when not even the whole number
// fits: no digits rather than wrong ones.
std::string FitValueText(std::string_view Pattern, double Value, int Width,
                         const std::function<int(const std::string&)>& TextWidth);

// The current value of an analog signal as digits in a recessed box, with up to two name
// lines below and an optional unit beside it. A new value redraws only the digit box, and
// only when its text changes; a value whose text is wider than the box shows fewer decimals
// (FitValueText).
class TAbValueInd : public TAbAnalogGControl {
public:
    explicit TAbValueInd(TComponent* AOwner, QWidget* AParent = nullptr);
    ~TAbValueInd() override;
    std::string ClassName() const override { return "TAbValueInd"; }

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TValueIndOptions Options() const { return FOptions; }
    void SetOptions(TValueIndOptions Value);
    TFont& FontValue() { return FFontValue; }
    void SetFontValue(const TFont& Value);
    TAbSBevel& BevelInner() { return *FBevelInner; }
    TAbSBevel& BevelOuter() { return *FBevelOuter; }
    TAbSBevel& BevelValue() { return *FBevelValue; }

    // The digit area as of the last paint (empty before it).
    TRect ValueRect() const { return rValue; }
    TSize MinSize() const { return {min_w, min_h}; }

    void ParamChange(TObject* Sender) override;
    void ValueChanged() override;
    void OverflowChanged(int PPT) override;

protected:
    void Loaded() override;
    void Paint() override;
    void WndProc(TMessage& Message) override;

private:
    void CalcSize();

    bool FAutoSize = true;
    std::unique_ptr<TAbSBevel> FBevelInner;
    std::unique_ptr<TAbSBevel> FBevelOuter;
    std::unique_ptr<TAbSBevel> FBevelValue;
    TFont FFontValue;
    TValueIndOptions FOptions{TValueIndOption::opName1, TValueIndOption::opName2, TValueIndOption::opUnit};
    TValueIndParts FParts;
    TRect rValue;
    TBitmap FBox;  // the digit box, drawn here and copied onto the control
    // What the digit box shows; none after a full paint, which paints over it.
    struct TShownValue {
        std::string Text;
        TRect Box;
        bool operator==(const TShownValue&) const = default;
    };
    std::optional<TShownValue> FShownValue;
    int min_h = 0;
    int min_w = 0;
};
