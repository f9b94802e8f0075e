// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <string>

// The application's one error handler. Failures that reach the event loop (from a handler,
// a timer or a serial delivery) are passed here instead of crossing the loop; the program
// installs a handler that shows the message, the default writes it to standard error.
using TExceptionHandler = std::function<void(const std::string& Message)>;

void SetApplicationExceptionHandler(TExceptionHandler Handler);

// Call inside a catch block: passes the message of the exception being handled on.
void HandleApplicationException();

// Runs call and passes any failure to the handler instead of letting it escape.
void GuardedCall(const std::function<void()>& call);
