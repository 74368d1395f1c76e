#pragma once

#include <fcntl.h>
#include <mqueue.h>
#include <unistd.h>

#include <string>

#include "runtime/CQuorMsg.h"

// Queue name of a benchmark, unique per process.
inline std::string BenchQueueName(char const* what) {
    return "/quor_bench_" + std::string(what) + "_" + std::to_string(getpid());
}

// A plain POSIX queue of 10 message images, opened non-blocking, for the raw
// baselines that the runtime's queues are measured against. Removed again
// when the object goes.
class RawBenchQueue {
public:
    explicit RawBenchQueue(char const* what) : m_name(BenchQueueName(what)) {
        mq_unlink(m_name.c_str());
        mq_attr attr{};
        attr.mq_maxmsg = 10;
        attr.mq_msgsize = CQuorMsg::ImageSize;
        m_handle = mq_open(m_name.c_str(), O_RDWR | O_CREAT | O_NONBLOCK, 0600, &attr);
    }
    ~RawBenchQueue() {
        if (m_handle != -1) {
            mq_close(m_handle);
            mq_unlink(m_name.c_str());
        }
    }
    RawBenchQueue(RawBenchQueue const&) = delete;
    RawBenchQueue& operator=(RawBenchQueue const&) = delete;

    // -1 when the queue could not be opened.
    mqd_t handle() const { return m_handle; }

private:
    std::string m_name;
    mqd_t m_handle = -1;
};
