// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

#include "serial/VaClasses.h"

enum TVaControlDtr { dtrDisabled, dtrEnabled, dtrHandshake };
enum TVaControlRts { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };

// Hardware and software flow control of the line. A setter reports a change only when the
// value differs.
class TVaFlowControl : public TVaPersistent {
public:
    struct Values {
        bool OutCtsFlow = false;
        bool OutDsrFlow = false;
        TVaControlDtr ControlDtr = dtrDisabled;
        TVaControlRts ControlRts = rtsDisabled;
        bool XonXoffOut = false;
        bool XonXoffIn = false;
        bool DsrSensitivity = false;
        bool TxContinueOnXoff = false;
        bool operator==(const Values&) const = default;
    };

    std::string ClassName() const override { return "TVaFlowControl"; }
    void Assign(const TPersistent& Source) override;

    bool OutCtsFlow() const { return FValues.OutCtsFlow; }
    bool OutDsrFlow() const { return FValues.OutDsrFlow; }
    TVaControlDtr ControlDtr() const { return FValues.ControlDtr; }
    TVaControlRts ControlRts() const { return FValues.ControlRts; }
    bool XonXoffOut() const { return FValues.XonXoffOut; }
    bool XonXoffIn() const { return FValues.XonXoffIn; }
    bool DsrSensitivity() const { return FValues.DsrSensitivity; }
    bool TxContinueOnXoff() const { return FValues.TxContinueOnXoff; }

    void SetOutCtsFlow(bool Value) { Store(FValues.OutCtsFlow, Value); }
    void SetOutDsrFlow(bool Value) { Store(FValues.OutDsrFlow, Value); }
    void SetControlDtr(TVaControlDtr Value) { Store(FValues.ControlDtr, Value); }
    void SetControlRts(TVaControlRts Value) { Store(FValues.ControlRts, Value); }
    void SetXonXoffOut(bool Value) { Store(FValues.XonXoffOut, Value); }
    void SetXonXoffIn(bool Value) { Store(FValues.XonXoffIn, Value); }
    void SetDsrSensitivity(bool Value) { Store(FValues.DsrSensitivity, Value); }
    void SetTxContinueOnXoff(bool Value) { Store(FValues.TxContinueOnXoff, Value); }

    const Values& AllValues() const { return FValues; }

private:
    Values FValues;
};

// The five special characters of the line. Every write reports a change, even of an equal
// value.
class TVaEventChars : public TVaPersistent {
public:
    enum Index { ciXonChar = 1, ciXoffChar, ciErrorChar, ciEventChar, ciEofChar };

    std::string ClassName() const override { return "TVaEventChars"; }
    void Assign(const TPersistent& Source) override;

    char XonChar() const { return FChars[0]; }
    char XoffChar() const { return FChars[1]; }
    char ErrorChar() const { return FChars[2]; }
    char EventChar() const { return FChars[3]; }
    char EofChar() const { return FChars[4]; }

    // The one setter behind all five; Index runs 1 to 5 in the order above.
    void SetChar(int Index, char Value);
    void SetXonChar(char Value) { SetChar(ciXonChar, Value); }
    void SetXoffChar(char Value) { SetChar(ciXoffChar, Value); }
    void SetErrorChar(char Value) { SetChar(ciErrorChar, Value); }
    void SetEventChar(char Value) { SetChar(ciEventChar, Value); }
    void SetEofChar(char Value) { SetChar(ciEofChar, Value); }

private:
    struct Chars {
        char c[5] = {17, 19, 0, 0, 0};
        char& operator[](int i) { return c[i]; }
        char operator[](int i) const { return c[i]; }
        bool operator==(const Chars&) const = default;
    } FChars;
};

// Driver queue sizes, transfer timeouts and XON/XOFF limits. Every value lies in
// 0 to 2147483647; a negative one is refused with ERangeError. The two timeouts change
// without notification: they are read at each transfer.
class TVaBuffers : public TVaPersistent {
public:
    struct Values {
        std::int32_t ReadSize = 4096;
        std::int32_t WriteSize = 2048;
        std::int32_t ReadTimeout = 1000;
        std::int32_t WriteTimeout = 1000;
        std::int32_t XonLimit = 1024;
        std::int32_t XoffLimit = 1024;
        bool operator==(const Values&) const = default;
    };

    std::string ClassName() const override { return "TVaBuffers"; }
    void Assign(const TPersistent& Source) override;

    std::int32_t ReadSize() const { return FValues.ReadSize; }
    std::int32_t WriteSize() const { return FValues.WriteSize; }
    std::int32_t ReadTimeout() const { return FValues.ReadTimeout; }
    std::int32_t WriteTimeout() const { return FValues.WriteTimeout; }
    std::int32_t XonLimit() const { return FValues.XonLimit; }
    std::int32_t XoffLimit() const { return FValues.XoffLimit; }

    void SetReadSize(std::int32_t Value);
    void SetWriteSize(std::int32_t Value);
    void SetReadTimeout(std::int32_t Value);
    void SetWriteTimeout(std::int32_t Value);
    void SetXonLimit(std::int32_t Value);
    void SetXoffLimit(std::int32_t Value);

    const Values& AllValues() const { return FValues; }

private:
    Values FValues;
};
