#include "runtime/CQuorMsgQueue.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "debug/QuorTrace.h"
#include "runtime/CQuorMsg.h"

#if defined(__SANITIZE_THREAD__)
#define QUOR_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUOR_TSAN 1
#endif
#endif

#ifdef QUOR_TSAN
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace {

// The kernel orders everything a sender did before mq_send before the
// matching receive; ThreadSanitizer does not see through the system call, so
// sanitizer builds tell it (one sync point per descriptor).
#ifdef QUOR_TSAN
char queueSync[1024];
void AnnounceSend(int handle) {
    __tsan_release(&queueSync[static_cast<unsigned>(handle) % sizeof queueSync]);
}
void NoteReceive(int handle) {
    __tsan_acquire(&queueSync[static_cast<unsigned>(handle) % sizeof queueSync]);
}
#else
inline void AnnounceSend(int) {}
inline void NoteReceive(int) {}
#endif

constexpr long imageSize = static_cast<long>(CQuorMsg::ImageSize);

char const* SignalName(CQuorMsg const* msg) {
    return GetSignalIdNamePtr(static_cast<SignalIds>(msg->m_signalName));
}

// Receives one image without waiting, also on a queue opened in blocking
// mode: a timed receive whose time-out has already passed. Returns the size
// received, or -1 with errno set.
ssize_t ReceiveImageWithoutWaiting(int handle, unsigned char* image) {
    timespec const expired{0, 0};
    ssize_t const size = mq_timedreceive(handle, reinterpret_cast<char*>(image),
                                         CQuorMsg::ImageSize, nullptr, &expired);
    NoteReceive(handle);
    return size;
}

ssize_t ReceiveImage(int handle, unsigned char* image) {
    ssize_t const size =
        mq_receive(handle, reinterpret_cast<char*>(image), CQuorMsg::ImageSize, nullptr);
    NoteReceive(handle);
    return size;
}

// Whether a received message has the size of our image. Anything else (a
// 32-bit peer's image on a 64-bit build, a foreign writer) would be misread,
// and its pointers are not ours to release: it is refused with a trace.
bool IsOurImage(ssize_t size, int handle, char const* operation) {
    if (size == imageSize) {
        return true;
    }
    TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                         "%s - message of %d bytes refused, not %d - handle=%d\n", operation,
                         static_cast<int>(size), static_cast<int>(imageSize), handle);
    return false;
}

// Waits up to timeout (null: for ever) for a message, answering as select
// would: -1 with EBADF for a descriptor that is not open, 1 when the queue
// is readable or in error (the receive then says what is wrong), 0 on timeout.
int WaitForMessage(int handle, timespec const* timeout) {
    // poll rather than select: descriptors beyond FD_SETSIZE must not overflow a set.
    pollfd waitFor{handle, POLLIN, 0};
    int const ready = ppoll(&waitFor, 1, timeout, nullptr);
    if (ready > 0 && (waitFor.revents & POLLNVAL) != 0) {
        errno = EBADF;
        return -1;
    }
    return ready;
}

} // namespace

CQuorMsgQueue::~CQuorMsgQueue() {
    if (m_unlinkFlag) {
        Unlink();
    } else if (m_handle != -1) {
        Close();
    }
    // Also after Terminate, when Close leaves the registry alone: the
    // registry lives on and must never hold a destroyed queue.
    ForgetQueue(this);
}

int CQuorMsgQueue::OpenQueue(char const* name, int oflag, int mode, bool unlinkFlag,
                             char const* openingText, char const* successText,
                             char const* failedText) {
    if (m_handle != -1) {
        Close();
    }
    m_unlinkFlag = unlinkFlag;
    if (name == nullptr) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR, failedText, EINVAL);
        return -1418;
    }
    if (unlinkFlag) {
        mq_unlink(name);
    }
    m_name = name;
    m_maxFill.store(0, std::memory_order_relaxed);

    TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_DEBUG, openingText, name);
    m_handle = mq_open(name, oflag, static_cast<mode_t>(mode), &m_attr);
    if (m_handle == -1) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR, failedText, errno);
        return -1418;
    }
    // An existing queue keeps the attributes it was created with: one of
    // another program may carry messages of another size, which no receive
    // here could take (EMSGSIZE for ever) or read.
    mq_attr actual{};
    if (mq_getattr(m_handle, &actual) == 0 && actual.mq_msgsize != imageSize) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::Open queue FAILED - %s carries messages of %ld "
                             "bytes, not %ld\n",
                             name, static_cast<long>(actual.mq_msgsize), imageSize);
        mq_close(m_handle);
        m_handle = -1;
        m_name.clear(); // not ours: never unlinked from here
        return -1418;
    }
    TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_DEBUG, successText, m_handle);
    AddQueueToGlobalMsgQueueList(this, m_handle);
    return 0;
}

int CQuorMsgQueue::Open(char const* name, int oflag, int mode, int maxMsgs, bool unlinkFlag) {
    TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_DEBUG, "CQuorMsgQueue::Open: %s\n",
                         name != nullptr ? name : "(null)");
    m_attr = mq_attr{};
    m_attr.mq_maxmsg = maxMsgs;
    m_attr.mq_msgsize = imageSize;
    return OpenQueue(name, oflag, mode, unlinkFlag, "CQuorMsgQueue:: Opening queue: %s\n",
                     "CQuorMsgQueue::Open queue successful - Result: %d\n",
                     "CQuorMsgQueue::Open queue FAILED - errno = %d\n");
}

int CQuorMsgQueue::OpenWithAttrStruct(char const* name, int oflag, int mode, mq_attr* attr,
                                      bool unlinkFlag) {
    TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_DEBUG,
                         "CQuorMsgQueue::OpenWithAttrStruct: %s, %d\n",
                         name != nullptr ? name : "(null)",
                         name != nullptr ? static_cast<int>(std::strlen(name)) : 0);
    if (attr != nullptr) {
        attr->mq_msgsize = imageSize;
        m_attr = *attr;
    } else {
        // Without attributes the queue gets the kernel's default length.
        m_attr = mq_attr{};
        m_attr.mq_maxmsg = 10;
        m_attr.mq_msgsize = imageSize;
    }
    return OpenQueue(name, oflag, mode, unlinkFlag,
                     "CQuorMsgQueue::OpenWithAttrStruct Opening queue: %s\n",
                     "CQuorMsgQueue::OpenWithAttrStruct Open queue successful - Result: %d\n",
                     "CQuorMsgQueue::OpenWithAttrStruct Open queue FAILED - errno = %d\n");
}

int CQuorMsgQueue::Close() {
    if (m_handle == -1) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::Close queue FAILED - No handle given\n");
        return -1411;
    }
    // The descriptor is released by the first close whatever it returns, so
    // the handle is forgotten: a later close could hit a reused number.
    int const handle = m_handle;
    m_handle = -1;
    RemoveQueueFromGlobalMsgQueueList(this, handle);
    if (mq_close(handle) != 0) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::Close queue FAILED - Errno = %d\n", errno);
        return -1410;
    }
    return 0;
}

int CQuorMsgQueue::Unlink() {
    if (m_name.empty()) {
        return -1417;
    }
    if (m_handle != -1) {
        ClearQueue();
        Close();
    }
    if (mq_unlink(m_name.c_str()) != 0) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::Unlink FAILED - Errno = %d\n", errno);
        return -1424;
    }
    // The name is no longer ours: a queue created under it later by someone
    // else must not be removed by a second Unlink or by the destructor.
    m_name.clear();
    return 0;
}

int CQuorMsgQueue::Getattr(mq_attr* attr) {
    if (m_handle == -1) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::Getattr FAILED - No handle given\n");
        return -1413;
    }
    if (mq_getattr(m_handle, attr) != 0) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::Getattr FAILED - errno = %d\n", errno);
        return -1412;
    }
    return 0;
}

// The texts and codes in which the two send forms differ.
struct CQuorMsgQueue::SendTexts {
    char const* responseInfo;
    char const* undefined;
    int undefinedCode;
    char const* handleZero;
    char const* sizeZero;
    char const* failed;
    bool failedOnlyForOwnQueues;
    char const* success;
};

int CQuorMsgQueue::SendToHandle(int handle, CQuorMsg* msg, unsigned prio, SendTexts const& texts) {
    // One look at the unit's level for the debug lines of the common path.
    bool const traceDebug = GetTraceActivationState(TRACE_MSG_QUEUE) <= TRACELEVEL_DEBUG;
    if (traceDebug) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_DEBUG, texts.responseInfo,
                             msg->m_responseInfo, static_cast<int>(msg->m_signalName),
                             SignalName(msg));
    }
    if (handle == -1) {
        msg->FreeSignal();
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR, texts.undefined,
                             static_cast<int>(msg->m_signalName), SignalName(msg));
        return texts.undefinedCode;
    }
    if (handle == 0) {
        msg->FreeSignal();
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR, texts.handleZero,
                             static_cast<int>(msg->m_signalName), SignalName(msg));
        return -1427;
    }
    if (msg->m_signalPtr != nullptr && msg->m_signalSize == 0) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_WARNING, texts.sizeZero,
                             static_cast<int>(msg->m_signalName), SignalName(msg));
    }

    unsigned char image[CQuorMsg::ImageSize];
    msg->WriteImage(image);
    AnnounceSend(handle);
    int const rc = mq_send(handle, reinterpret_cast<char const*>(image), CQuorMsg::ImageSize, prio);
    if (rc != 0) {
        int const error = errno;
        if (!texts.failedOnlyForOwnQueues || GetQueueObjPtrByHandle(handle) != nullptr) {
            TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR, texts.failed, handle, rc, error,
                                 static_cast<int>(msg->m_signalName), SignalName(msg));
        }
        msg->FreeSignal();
        return -1421;
    }
    if (traceDebug) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_DEBUG, texts.success, handle, rc,
                             static_cast<int>(msg->m_signalName));
    }
    msg->m_signalSize = 0;
    msg->m_signalPtr = nullptr;
    msg->m_objPtr = nullptr;
    totalNrOfSentMsgs.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

int CQuorMsgQueue::Send(int handle, CQuorMsg* msg, unsigned prio) {
    static SendTexts const texts = {
        "CQuorMsgQueue::Send (obj to handle) - response info = %i - signal=%d %s\n",
        "CQuorMsgQueue::Send (obj to handle) - Handle is undefined - signal=%d %s\n",
        -1423,
        "CQuorMsgQueue::Send (obj to handle) - Handle is 0 - signal=%d %s\n",
        "CQuorMsgQueue::Send (obj to handle) - Signal pointer is set, but signalSize is 0 - "
        "signal=%d %s\n",
        "CQuorMsgQueue::Send (obj to handle) to queue FAILED (obj to handle) - handle=%d rc=%d "
        "errno=%d signal=%d %s\n",
        true,
        "CQuorMsgQueue::Send (obj to handle) to queue successful- handle=%d rc=%d signal=%d\n",
    };
    if (msg == nullptr) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::Send (obj to handle) - argMsgObjPtr = 0\n");
        return -1426;
    }
    TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_INFO,
                         "CQuorMsgQueue::Send (obj to handle) called - target_handle=%d "
                         "msg_obj=%p prio=%d msg_queue=%d signalname=%ld signalptr=%p\n",
                         handle, static_cast<void*>(msg), static_cast<int>(prio), handle,
                         static_cast<long>(msg->m_signalName), msg->m_signalPtr);
    return SendToHandle(handle, msg, prio, texts);
}

int CQuorMsgQueue::Send(CQuorMsg* msg, unsigned prio) {
    static SendTexts const texts = {
        "CQuorMsgQueue::Send (obj) - response info = %i - signal=%d %s\n",
        "CQuorMsgQueue::Send (obj) - Handle is undefined - signal=%d %s\n",
        -1422,
        "CQuorMsgQueue::Send (obj) - Handle is 0 - signal=%d %s\n",
        "CQuorMsgQueue::Send (obj) - Signal pointer is set, but signalSize is 0 - signal=%d %s\n",
        "CQuorMsgQueue::Send (obj) FAILED - handle=%d rc2=%d errno=%d signal=%d %s\n",
        false,
        "CQuorMsgQueue::Send (obj) to queue successful- handle=%d rc2=%d signal=%d\n",
    };
    if (msg == nullptr) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::Send (obj) - argMsgObjPtr is 0\n");
        return -1426;
    }
    TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_INFO,
                         "CQuorMsgQueue::Send (obj) called - msg_obj=%p prio=%d msg_queue=%d "
                         "signalname=%ld signalptr=%p\n",
                         static_cast<void*>(msg), static_cast<int>(prio), m_handle,
                         static_cast<long>(msg->m_signalName), msg->m_signalPtr);
    if (msg->m_signalName == SIG_ID_NULL &&
        GetTraceActivationState(TRACE_MSG_QUEUE) <= TRACELEVEL_WARNING) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_WARNING,
                             "CQuorMsgQueue::Send (obj) - Signal name = 0 Thread-Id = %ld\n",
                             static_cast<long>(syscall(SYS_gettid)));
    }
    return SendToHandle(m_handle, msg, prio, texts);
}

void CQuorMsgQueue::CountReceived(CQuorMsg const& msg) {
    m_nrRead.store(m_nrRead.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    m_lastMsg.store(msg.m_signalName, std::memory_order_relaxed);
    int const waiting = GetNrOfMsgsInQueue();
    if (waiting + 1 > m_maxFill.load(std::memory_order_relaxed)) {
        m_maxFill.store(waiting + 1, std::memory_order_relaxed);
    }
}

int CQuorMsgQueue::Receive(CQuorMsg* msg, unsigned) {
    bool const traceDebug = GetTraceActivationState(TRACE_MSG_QUEUE) <= TRACELEVEL_DEBUG;
    if (traceDebug) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_DEBUG,
                             "CQuorMsgQueue::Receive (obj) called - handle=%d msg_data_ptr=%p\n",
                             m_handle, static_cast<void*>(msg));
    }
    if (m_handle == -1) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::Receive (obj) FAILED - No handle given\n");
        return -1420;
    }
    if (msg == nullptr) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::Receive (obj) FAILED - argMsgObjPtr = 0\n");
        return -1426;
    }
    unsigned char image[CQuorMsg::ImageSize];
    ssize_t const size = ReceiveImage(m_handle, image);
    bool const ours = size >= 1 && IsOurImage(size, m_handle, "CQuorMsgQueue::Receive (obj)");
    if (ours) {
        msg->ReadImage(image);
    }
    if (traceDebug) {
        TraceFormattedString(
            TRACE_MSG_QUEUE, TRACELEVEL_DEBUG,
            "CQuorMsgQueue::Receive (obj) - size: %d\t errno=%d  response info = %i\n",
            static_cast<int>(size), size < 1 ? errno : 0, msg->m_responseInfo);
    }
    if (!ours) {
        return -1419;
    }
    CountReceived(*msg);
    return 0;
}

int CQuorMsgQueue::ReceiveFromNonblockingQueue(CQuorMsg* msg, unsigned) {
    TraceFormattedString(
        TRACE_MSG_QUEUE, TRACELEVEL_DEBUG,
        "CQuorMsgQueue::ReceiveFromNonblockingQueue called - handle=%d msg_obj_ptr=%p\n", m_handle,
        static_cast<void*>(msg));
    if (m_handle == -1) {
        TraceFormattedString(
            TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
            "CQuorMsgQueue::ReceiveFromNonblockingQueue FAILED - No handle given\n");
        return -1420;
    }
    if (msg == nullptr) {
        TraceFormattedString(
            TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
            "CQuorMsgQueue::ReceiveFromNonblockingQueue FAILED - handle=%d argMsgObjPtr=0\n",
            m_handle);
        return -1426;
    }
    int const ready = WaitForMessage(m_handle, nullptr);
    if (ready < 0) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::ReceiveFromNonblockingQueue - select failed - "
                             "handle=%d rc_select: %d errno=%d\n",
                             m_handle, ready, errno);
        return -1425;
    }
    if (ready == 0) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_WARNING,
                             "CQuorMsgQueue::ReceiveFromNonblockingQueue - select, but not our "
                             "queue - handle=%d rc_select: %d errno=%d\n",
                             m_handle, ready, errno);
        return -1428;
    }
    unsigned char image[CQuorMsg::ImageSize];
    ssize_t const size = ReceiveImage(m_handle, image);
    if (size < 1) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::ReceiveFromNonblockingQueue - receive failed - "
                             "handle=%d size: %d  errno=%d\n",
                             m_handle, static_cast<int>(size), errno);
        return -1419;
    }
    if (!IsOurImage(size, m_handle, "CQuorMsgQueue::ReceiveFromNonblockingQueue")) {
        return -1419;
    }
    msg->ReadImage(image);
    CountReceived(*msg);
    TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_INFO,
                         "CQuorMsgQueue::ReceiveFromNonblockingQueue - receive - handle=%d size: "
                         "%d  errno=%d  signal name = %ld\n",
                         m_handle, static_cast<int>(size), 0, static_cast<long>(msg->m_signalName));
    return 0;
}

int CQuorMsgQueue::GetNrOfMsgsInQueue() {
    if (m_handle == -1) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "CQuorMsgQueue::GetNrOfMsgsInQueue FAILED - No handle given\n");
        return -1415;
    }
    mq_attr attr;
    int const rc = mq_getattr(m_handle, &attr);
    if (rc != 0) {
        TraceFormattedString(
            TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
            "CQuorMsgQueue::GetNrOfMsgsInQueue failed - return value: %d\t errno=%d\n", rc, errno);
        return -1414;
    }
    return static_cast<int>(attr.mq_curmsgs);
}

int CQuorMsgQueue::usleepOnQueue(unsigned long usec) {
    timespec const timeout{static_cast<time_t>(usec / 1000000),
                           static_cast<long>(usec % 1000000) * 1000};
    return WaitForMessage(m_handle, &timeout);
}

void CQuorMsgQueue::ClearQueue() {
    unsigned char image[CQuorMsg::ImageSize];
    for (;;) {
        ssize_t const size = ReceiveImageWithoutWaiting(m_handle, image);
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_INFO,
                             "CQuorMsgQueue::ClearQueue - Msg read from queue - size: %d  "
                             "errno=%d\n",
                             static_cast<int>(size), size < 1 ? errno : 0);
        if (size < 1) {
            return;
        }
        if (IsOurImage(size, m_handle, "CQuorMsgQueue::ClearQueue")) {
            CQuorMsg msg;
            msg.ReadImage(image);
            msg.FreeSignal();
        }
    }
}

void CQuorMsgQueue::DumpQueue(int handle) {
    unsigned char image[CQuorMsg::ImageSize];
    for (int nr = 0;;) {
        ssize_t const size = ReceiveImageWithoutWaiting(handle, image);
        if (size < 1) {
            return;
        }
        if (!IsOurImage(size, handle, "CQuorMsgQueue::DumpQueue")) {
            continue;
        }
        CQuorMsg msg;
        msg.ReadImage(image);
        FormattedStringToStdout(
            "CQuorMsgQueue::DumpQueue - Msg read from queue - nr: %d  signalname: %ld\n", ++nr,
            static_cast<long>(msg.m_signalName));
        msg.FreeSignal();
    }
}
