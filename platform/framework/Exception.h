// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <stdexcept>
#include <string>

// Base of every failure the program reports to the user: it carries only a message,
// which the application's error handler shows as it stands.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Raised when one object cannot be assigned from another.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Raised when a value lies outside the range its property accepts.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// Raised when a file operation fails; the message names the file and the system's reason.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};
