// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace comm {

// Speeds that have no B-constant go through the kernel's termios2 interface, which cannot
// share a translation unit with <termios.h>.
int SetCustomSpeed(int fd, unsigned speed);
int GetSpeed(int fd, unsigned& speed);

}  // namespace comm
