// Another process of the system, written from the documented wire layout
// alone (it knows nothing of CQuorMsg): sends a 48-byte image built field by
// field to the first queue and checks the answer on the second, in which
// every field is one higher (each rpcInfo byte too) and the payload empty.
//   quor_wire_peer <queue to the library> <queue from the library>
#include <mqueue.h>
#include <time.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

struct Field {
    char const* name;
    int offset;
    std::uint32_t sent;
    std::uint32_t answer;
};

// Distinct bytes everywhere: a field read at another offset, width or byte
// order shows. m_rpcInfo holds the bytes 0x21 0x22 0x23 0x24 in this order.
Field const kFields[] = {
    {"m_signalName", 0, 452, 453}, // SIG_ID_MPLAYER_OPEN_RESP
    {"m_userData", 4, 0xFFFFFFFEu, 0xFFFFFFFFu},
    {"m_responseQueue", 8, 0x01020304u, 0x01020305u},
    {"m_responseInfo", 12, 0xFAF9F8F7u, 0xFAF9F8F8u},
    {"m_timerObjPtr", 16, 0x090A0B0Cu, 0x090A0B0Du},
    {"m_callbackId", 20, 0x0D0E0F10u, 0x0D0E0F11u},
    {"m_callbackId2", 24, 0xFFFFFFFDu, 0xFFFFFFFEu},
    {"m_rpcInfo", 28, 0x24232221u, 0x25242322u},
    {"m_userData2", 32, 0x25262728u, 0x25262729u},
    {"m_signalSize", 36, 0, 0},
    {"m_signalPtr", 40, 0, 0},
    {"m_objPtr", 44, 0, 0},
};

int Fail(char const* what) {
    std::fprintf(stderr, "quor_wire_peer: %s: %s\n", what, std::strerror(errno));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    mqd_t const out = argc == 3 ? mq_open(argv[1], O_WRONLY) : -1;
    mqd_t const in = argc == 3 ? mq_open(argv[2], O_RDONLY) : -1;
    mq_attr attr{};
    if (out == -1 || in == -1 || mq_getattr(out, &attr) != 0) {
        return Fail("opening the queues");
    }
    unsigned char image[48] = {};
    for (Field const& field : kFields) { // little-endian, as on the target
        for (int i = 0; i < 4; ++i) {
            image[field.offset + i] = static_cast<unsigned char>(field.sent >> (8 * i));
        }
    }
    if (mq_send(out, reinterpret_cast<char const*>(image), sizeof image, 0) != 0) {
        return Fail("mq_send");
    }
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += 30;
    unsigned char answer[8192];
    ssize_t const size =
        mq_timedreceive(in, reinterpret_cast<char*>(answer), sizeof answer, nullptr, &deadline);
    if (size < 0) {
        return Fail("mq_timedreceive");
    }
    int result = attr.mq_msgsize == 48 && size == 48 ? 0 : 1;
    if (result != 0) {
        std::fprintf(stderr, "quor_wire_peer: %ld-byte queue, %zd-byte answer; 48 expected\n",
                     static_cast<long>(attr.mq_msgsize), size);
    }
    for (Field const& field : kFields) {
        std::uint32_t got = 0;
        for (int i = 0; i < 4; ++i) {
            got |= static_cast<std::uint32_t>(answer[field.offset + i]) << (8 * i);
        }
        if (got != field.answer) {
            std::fprintf(stderr, "quor_wire_peer: %s at offset %d is 0x%08x, expected 0x%08x\n",
                         field.name, field.offset, got, field.answer);
            result = 1;
        }
    }
    return result;
}
