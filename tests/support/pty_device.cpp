#include "support/pty_device.h"

#include <QCoreApplication>

#include <algorithm>
#include <asm/ioctl.h>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// The kernel's termios2, which carries the speed as a number; glibc's headers do not offer it
// alongside <termios.h>.
struct KernelTermios2 {
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};
constexpr unsigned long kGetTermios2 = _IOR('T', 0x2A, KernelTermios2);

constexpr int kPollMs = 5;

void Pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace

PtyDevice::PtyDevice() {
    if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
        master_ = slave_ = -1;
        return;
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    char name[PATH_MAX];
    if (::ttyname_r(slave_, name, sizeof name) == 0) {
        slavePath_ = name;
    }
}

PtyDevice::~PtyDevice() {
    CloseMaster();
    if (slave_ >= 0) {
        ::close(slave_);
    }
}

std::string PtyDevice::ReadExactly(size_t n, std::chrono::milliseconds timeout) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (got.size() < n && master_ >= 0) {
        Pump();
        pollfd pfd{master_, POLLIN, 0};
        if (::poll(&pfd, 1, kPollMs) > 0 && (pfd.revents & POLLIN) != 0) {
            char buffer[4096];
            const size_t want = std::min(sizeof buffer, n - got.size());
            const ssize_t r = ::read(master_, buffer, want);
            if (r > 0) {
                got.append(buffer, static_cast<size_t>(r));
                continue;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
    }
    return got;
}

std::string PtyDevice::ReadAvailable() {
    std::string got;
    char buffer[4096];
    while (master_ >= 0) {
        const ssize_t r = ::read(master_, buffer, sizeof buffer);
        if (r <= 0) {
            break;
        }
        got.append(buffer, static_cast<size_t>(r));
    }
    return got;
}

void PtyDevice::Write(const std::string& bytes) {
    size_t done = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (done < bytes.size() && master_ >= 0) {
        const ssize_t w = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
        // The terminal's input queue is full: let the program read some.
        if (std::chrono::steady_clock::now() >= deadline) {
            return;
        }
        Pump();
        pollfd pfd{master_, POLLOUT, 0};
        ::poll(&pfd, 1, kPollMs);
    }
}

void PtyDevice::CloseMaster() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

termios PtyDevice::SlaveSettings() const {
    termios t{};
    if (slave_ >= 0) {
        ::tcgetattr(slave_, &t);
    }
    return t;
}

uint32_t PtyDevice::SlaveBaudRate() const {
    KernelTermios2 t{};
    if (slave_ < 0 || ::ioctl(slave_, kGetTermios2, &t) != 0) {
        return 0;
    }
    return t.c_ospeed;
}
