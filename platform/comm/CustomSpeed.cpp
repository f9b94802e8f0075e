// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/comm/CustomSpeed.h"

#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

namespace comm {

int SetCustomSpeed(int fd, unsigned speed)
{
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return errno;
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = speed;
    tio.c_ospeed = speed;
    if (::ioctl(fd, TCSETS2, &tio) != 0)
        return errno;
    return 0;
}

int GetSpeed(int fd, unsigned& speed)
{
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return errno;
    speed = tio.c_ospeed;
    return 0;
}

}  // namespace comm
