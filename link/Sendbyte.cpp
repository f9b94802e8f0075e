#include "link/Sendbyte.h"

#include "serial/VaComm.h"

namespace protocol {

void Sendbyte(TVaCustomComm& comm, std::uint8_t b)
{
    comm.WriteChar(static_cast<char>(b));
}

void SendFrame(TVaCustomComm& comm, std::span<const std::uint8_t> frame)
{
    for (const std::uint8_t b : frame)
        Sendbyte(comm, b);
}

}  // namespace protocol
