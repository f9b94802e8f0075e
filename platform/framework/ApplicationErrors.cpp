// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/ApplicationErrors.h"

#include <cstdio>
#include <exception>
#include <mutex>

namespace {

std::mutex& HandlerMutex()
{
    static std::mutex mutex;
    return mutex;
}

TExceptionHandler& Handler()
{
    static TExceptionHandler handler;
    return handler;
}

}  // namespace

void SetApplicationExceptionHandler(TExceptionHandler Handler_)
{
    std::lock_guard lock(HandlerMutex());
    Handler() = std::move(Handler_);
}

void HandleApplicationException()
{
    std::string message;
    try {
        throw;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown error";
    }
    TExceptionHandler handler;
    {
        std::lock_guard lock(HandlerMutex());
        handler = Handler();
    }
    if (handler)
        handler(message);
    else
        std::fprintf(stderr, "%s\n", message.c_str());
}

void GuardedCall(const std::function<void()>& call)
{
    try {
        call();
    } catch (...) {
        HandleApplicationException();
    }
}
