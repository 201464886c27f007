#include "operator/random_device.h"

#include <QSocketNotifier>
#include <QTimer>

#include <array>
#include <cerrno>
#include <unistd.h>

namespace {

// More than this waiting and the device makes nothing new: a closed line must not make it
// hoard.
constexpr std::size_t kMostPending = 4096;

// Valid UTF-8 a device might send, the line and paragraph separators among them.
constexpr std::array<const char*, 7> kUtf8{"\xC3\xA9",     "\xE2\x82\xAC", "\xF0\x9F\x92\xA1",
                                           "\xEF\xBB\xBF", "\xC2\xA0",     "\xE2\x80\xA8",
                                           "\xE2\x80\xA9"};

} // namespace

RandomDevice::RandomDevice(int masterFd, uint32_t seed, std::function<bool()> lineOpen)
    : master_(masterFd), rng_(seed), lineOpen_(std::move(lineOpen)),
      reader_(new QSocketNotifier(masterFd, QSocketNotifier::Read, this)),
      timer_(new QTimer(this)) {
    connect(reader_, &QSocketNotifier::activated, this, [this] { ReadNow(); });
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_->start(10);
}

RandomDevice::~RandomDevice() = default;

void RandomDevice::ReadNow() {
    char buffer[4096];
    for (;;) {
        const ssize_t r = ::read(master_, buffer, sizeof buffer);
        if (r <= 0) {
            return;
        }
        line_.Feed(std::string(buffer, static_cast<std::size_t>(r)));
    }
}

std::string RandomDevice::Field(int length) {
    static const char* kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string out;
    for (int i = 0; i < length; ++i) {
        out += kChars[rng_() % 36];
    }
    return out;
}

std::string RandomDevice::Response() {
    static const char* kKnown = "POCLDVBJFQ";
    const auto pick = [this](uint32_t n) { return rng_() % n; };
    switch (pick(10)) {
    case 0:
    case 1:
    case 2: { // a known response, its value mostly sound
        const char kind = kKnown[pick(10)];
        std::string value;
        if (kind == 'B' || kind == 'J') {
            value = pick(8) == 0 ? Field(static_cast<int>(pick(5))) : std::to_string(pick(300));
        } else if (kind == 'F' || kind == 'Q') {
            value = pick(8) == 0 ? Field(static_cast<int>(pick(4))) : std::to_string(pick(10));
        } else {
            value = Field(static_cast<int>(pick(6)));
        }
        return std::string("*") + kind + Field(static_cast<int>(pick(6) == 0 ? pick(3) : 2)) +
               value + "~";
    }
    case 3: // unknown
        return "*" + Field(static_cast<int>(1 + pick(8))) + "~";
    case 4: // printable noise, sometimes without its end mark
        return Field(static_cast<int>(pick(12))) + (pick(2) ? "~" : "");
    case 5: { // bytes that are not ASCII, and the control bytes that matter
        std::string out;
        const uint32_t n = 1 + pick(8);
        for (uint32_t i = 0; i < n; ++i) {
            switch (pick(6)) {
            case 0:
                out += '\0';
                break;
            case 1:
                out += "\r\n"[pick(2)];
                break;
            case 2:
                out += kUtf8[pick(kUtf8.size())];
                break;
            default:
                out += static_cast<char>(0x80 + pick(0x80));
            }
        }
        return out + (pick(2) ? "~" : "");
    }
    case 6:
        return "~";
    case 7: // every byte value
        return std::string(1, static_cast<char>(pick(256)));
    default:
        return "";
    }
}

void RandomDevice::Tick() {
    ReadNow();
    if (pending_.size() < kMostPending) {
        const uint32_t n = rng_() % 4;
        for (uint32_t i = 0; i < n; ++i) {
            pending_ += Response();
        }
    }
    if (!pending_.empty() && lineOpen_()) {
        // Cut anywhere, a response or a UTF-8 sequence included.
        const std::size_t want = 1 + rng_() % pending_.size();
        const ssize_t w = ::write(master_, pending_.data(), want);
        if (w > 0) {
            pending_.erase(0, static_cast<std::size_t>(w));
            written_ += static_cast<std::size_t>(w);
        }
    }
    timer_->start(static_cast<int>(2 + rng_() % 40));
}
