// The whole program over a long run: its port on a pseudo-terminal, a scripted device streaming
// responses, first at the line's own rate, then as fast as the terminal takes them. Prints, for
// each phase, what the device sent and the program logged, the CPU it took, how memory grew per
// logged response and the size of the log; then the CPU taken while the line is quiet.
//
//   long_run_bench [--seconds=S] [--fast-factor=F] [--idle-seconds=S] [--drain-seconds=S]
//                  [--max-rss-mb=M]
//
// --seconds: how long each phase streams (default 20, or LONG_RUN_SECONDS). --fast-factor: the
// second phase's rate as a multiple of the line rate; 0, the default, for as fast as the
// terminal takes bytes. --drain-seconds: how long a phase may take to catch up once the device
// stops (60). --max-rss-mb: the run ends itself with status 3 past this much memory (4096).
// The exit status is 1 when a check fails: a response lost or changed, wrong start-up bytes or
// line settings, a message box, or bytes the program sent while it only had to listen.

#include "app/app.h"
#include "framework/core/text.h"
#include "framework/gui/runtime.h"
#include "framework/gui/serial_connection.h"
#include "support/pty_device.h"
#include "window/wdw_main.h"

#include <QApplication>
#include <QByteArray>
#include <QEventLoop>
#include <QTimer>

#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// 9600 baud with 8N1 framing: ten bits on the wire for every byte.
constexpr double kLineBytesPerSecond = 960.0;
constexpr std::string_view kStartupBytes = ">SOOO<>JOOO<>VOOO<>QOOO<";

struct Options {
    double seconds = 20;
    double fastFactor = 0;
    double idleSeconds = 3;
    double drainSeconds = 60;
    // Rather than take the machine's memory.
    double maxRssMegabytes = 4096;
};

std::chrono::milliseconds Millis(double seconds) {
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

bool ReadFlag(std::string_view arg, std::string_view name, double& value) {
    if (arg.substr(0, name.size()) != name) {
        return false;
    }
    value = std::strtod(std::string(arg.substr(name.size())).c_str(), nullptr);
    return true;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    if (const char* env = std::getenv("LONG_RUN_SECONDS")) {
        options.seconds = std::strtod(env, nullptr);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!ReadFlag(arg, "--seconds=", options.seconds) &&
            !ReadFlag(arg, "--fast-factor=", options.fastFactor) &&
            !ReadFlag(arg, "--idle-seconds=", options.idleSeconds) &&
            !ReadFlag(arg, "--drain-seconds=", options.drainSeconds) &&
            !ReadFlag(arg, "--max-rss-mb=", options.maxRssMegabytes)) {
            std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
            std::exit(2);
        }
    }
    return options;
}

// FNV-1a, to compare the whole log with everything the device sent without keeping a copy
// that would count in the program's memory.
constexpr uint64_t kHashStart = 1469598103934665603ull;
uint64_t Hash(uint64_t h, std::string_view bytes) {
    for (const char c : bytes) {
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return h;
}

// The device's side of the conversation: every kind of response, and some with bytes the
// protocol never uses (NUL and the upper half), but never an end mark or a line break inside.
class ResponseMaker {
public:
    std::string Next() {
        std::string r = "*";
        switch (Pick(0, 9)) {
        case 0:
        case 1:
            r += 'P';
            r += Digits(2);
            break;
        case 2:
            r += 'V';
            r += Digits(5); // the id, then the version
            break;
        case 3:
        case 4:
            r += 'B';
            r += Digits(5); // the id, then the brightness
            break;
        case 5:
        case 6:
            // The id, then the row: rows 1 to 7 exist; 0, 8 and 9 name none.
            r += Pick(0, 1) == 0 ? 'F' : 'Q';
            r += Digits(3);
            break;
        case 7:
            r += 'S';
            r += Digits(2);
            break;
        case 8:
            r += 'B';
            r += Digits(2);
            r += OddBytes(3);
            break;
        default:
            r += OddBytes(static_cast<size_t>(Pick(1, 8)));
            break;
        }
        r += '~';
        return r;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    std::string Digits(size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i) {
            s += static_cast<char>('0' + Pick(0, 9));
        }
        return s;
    }
    std::string OddBytes(size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i) {
            const int b = Pick(0x7F, 0xFF);
            s += static_cast<char>(b == 0x7F ? 0x00 : b);
        }
        return s;
    }
    std::mt19937 rng_{20240611};
};

double Seconds(rusage r) {
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// Streams responses on the terminal's master from its own thread for a set time, paced by the
// clock (a rate of 0: as fast as the terminal takes them), then writes out what it has queued
// and finishes. It never blocks: a full terminal is waited out with poll. The log the program
// should hold is hashed as each response is fully written.
class StreamingDevice {
public:
    StreamingDevice(int masterFd, std::chrono::milliseconds duration, double bytesPerSecond,
                    ResponseMaker& maker, uint64_t& hash)
        : fd_(masterFd), rate_(bytesPerSecond), duration_(duration), maker_(maker), hash_(hash) {}
    ~StreamingDevice() {
        Stop();
        Join();
    }
    StreamingDevice(const StreamingDevice&) = delete;
    StreamingDevice& operator=(const StreamingDevice&) = delete;

    void Start() {
        thread_ = std::thread([this] { Run(); });
    }
    // No new responses; what is queued still goes out.
    void Stop() { stop_ = true; }
    bool Finished() const { return finished_; }
    // How long it made new responses.
    double StreamedSeconds() const { return streamed_; }
    void Join() {
        if (thread_.joinable()) {
            abandon_ = true;
            thread_.join();
        }
    }
    uint64_t Sent() const { return sent_; }
    uint64_t Bytes() const { return bytes_; }
    uint64_t Unsent() const { return unsent_; }
    // CPU seconds the device's own thread took.
    double Cpu() const { return cpu_; }

private:
    void Run() {
        const auto start = Clock::now();
        uint64_t made = 0; // bytes of the responses generated so far
        std::string out;
        size_t outDone = 0;
        std::deque<std::string> queued;
        size_t frontDone = 0;
        constexpr size_t kBatch = 4096;
        while (!abandon_) {
            if (!stop_ && Clock::now() - start >= duration_) {
                stop_ = true;
            }
            if (!stop_) {
                const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
                const double allowed = rate_ * elapsed;
                while (out.size() - outDone < kBatch) {
                    if (next_.empty()) {
                        next_ = maker_.Next();
                    }
                    if (rate_ > 0 && static_cast<double>(made + next_.size()) > allowed) {
                        break;
                    }
                    made += next_.size();
                    out += next_;
                    queued.push_back(std::move(next_));
                    next_.clear();
                }
                if (rate_ > 0 && out.size() == outDone) {
                    // Sleep until the next response is due, but look at the stop flag often.
                    const double due = static_cast<double>(made + next_.size()) / rate_;
                    const auto wake = start + std::chrono::duration_cast<Clock::duration>(
                                                  std::chrono::duration<double>(due));
                    std::this_thread::sleep_until(std::min(wake, Clock::now() + 20ms));
                    continue;
                }
            } else {
                if (streamed_ == 0) {
                    streamed_ = std::chrono::duration<double>(Clock::now() - start).count();
                }
                if (out.size() == outDone) {
                    break;
                }
            }
            const ssize_t w = ::write(fd_, out.data() + outDone, out.size() - outDone);
            if (w > 0) {
                outDone += static_cast<size_t>(w);
                bytes_ += static_cast<uint64_t>(w);
                Settle(queued, frontDone, static_cast<size_t>(w));
                if (outDone == out.size()) {
                    out.clear();
                    outDone = 0;
                }
                continue;
            }
            if (w < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            }
            pollfd pfd{fd_, POLLOUT, 0};
            ::poll(&pfd, 1, 10);
        }
        unsent_ = queued.size();
        rusage own{};
        ::getrusage(RUSAGE_THREAD, &own);
        cpu_ = Seconds(own);
        finished_ = true;
    }

    // Counts and hashes the responses the last write completed.
    void Settle(std::deque<std::string>& queued, size_t& frontDone, size_t written) {
        while (written > 0 && !queued.empty()) {
            const size_t rest = queued.front().size() - frontDone;
            if (written < rest) {
                frontDone += written;
                return;
            }
            written -= rest;
            // Logged without its end mark, closed by a CR.
            const std::string& done = queued.front();
            hash_ = Hash(hash_, std::string_view(done).substr(0, done.size() - 1));
            hash_ = Hash(hash_, "\r");
            queued.pop_front();
            frontDone = 0;
            ++sent_;
        }
    }

    int fd_;
    double rate_;
    std::chrono::milliseconds duration_;
    ResponseMaker& maker_;
    uint64_t& hash_;
    // Made but not yet due.
    std::string next_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> abandon_{false};
    std::atomic<bool> finished_{false};
    std::atomic<uint64_t> sent_{0};
    std::atomic<uint64_t> bytes_{0};
    std::atomic<uint64_t> unsent_{0};
    std::atomic<double> streamed_{0};
    std::atomic<double> cpu_{0};
};

// CPU seconds of the calling thread (the program's thread) and of the whole process.
struct CpuMark {
    double thread;
    double process;
};
CpuMark CpuNow() {
    rusage t{};
    rusage p{};
    ::getrusage(RUSAGE_THREAD, &t);
    ::getrusage(RUSAGE_SELF, &p);
    return {Seconds(t), Seconds(p)};
}

int64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    int64_t size = 0;
    int64_t resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// From its own thread, so that it acts also while the program's thread never comes back to the
// event loop.
class MemoryGuard {
public:
    explicit MemoryGuard(double megabytes)
        : limit_(static_cast<int64_t>(megabytes * 1e6)), thread_([this] { Run(); }) {}
    ~MemoryGuard() {
        stop_ = true;
        thread_.join();
    }
    MemoryGuard(const MemoryGuard&) = delete;
    MemoryGuard& operator=(const MemoryGuard&) = delete;

private:
    void Run() {
        while (!stop_) {
            const int64_t rss = ResidentBytes();
            if (rss > limit_) {
                std::printf("\nRSS %.0f MB is past the limit of %.0f MB: stopping   <-- FAULT\n",
                            static_cast<double>(rss) / 1e6, static_cast<double>(limit_) / 1e6);
                std::fflush(stdout);
                std::_Exit(3);
            }
            std::this_thread::sleep_for(100ms);
        }
    }
    int64_t limit_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Runs the program's event loop as the shipped program does, so an idle program sleeps, until
// `done` holds (checked every `every`) or the time is up.
void RunLoop(std::chrono::milliseconds limit, const std::function<bool()>& done,
             std::chrono::milliseconds every = 20ms) {
    QEventLoop loop;
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done && done()) {
            loop.quit();
        }
    });
    check.start(every);
    loop.exec();
}

// Counts the log's entries, each closed by the CR the program appends, reading only what was
// added since the last count.
class LogCounter {
public:
    explicit LogCounter(wdwMainRef window) : window_(std::move(window)) {}
    uint64_t Entries() {
        const framework::Text& log = window_->taReceived()->Text();
        for (; scanned_ < log.size(); ++scanned_) {
            entries_ += log[scanned_] == '\r' ? 1 : 0;
        }
        return entries_;
    }
    const framework::Text& Log() const { return window_->taReceived()->Text(); }

private:
    wdwMainRef window_;
    size_t scanned_ = 0;
    uint64_t entries_ = 0;
};

struct PhaseResult {
    const char* name = "";
    double targetRate = 0; // bytes/s, 0 for as fast as the terminal takes them
    double streamSeconds = 0, drainSeconds = 0, wallSeconds = 0, longestStall = 0;
    uint64_t sent = 0, bytes = 0, handled = 0, maxBacklog = 0, unsent = 0;
    // CPU seconds: the program's thread, and the program as a whole (its thread and Qt's
    // painting threads, without the device's thread).
    double threadCpu = 0, programCpu = 0;
    int64_t rssBefore = 0, rssAfter = 0, rssPeak = 0;
    uint64_t logBytes = 0, logEntries = 0;
    bool logMatches = false;
    std::string talkBack;
};

PhaseResult RunPhase(const char* name, double rate, const Options& options, PtyDevice& device,
                     LogCounter& counter, ResponseMaker& maker, uint64_t& expectedHash) {
    PhaseResult r;
    r.name = name;
    r.targetRate = rate;
    const uint64_t handledBefore = counter.Entries();
    r.rssBefore = r.rssPeak = ResidentBytes();
    const CpuMark cpuBefore = CpuNow();
    const auto start = Clock::now();

    StreamingDevice streamer(device.MasterFd(), Millis(options.seconds), rate, maker, expectedHash);
    streamer.Start();
    // Timers run also inside the program's yields, so this one sees how long the loop was away.
    auto lastTick = Clock::now();
    QTimer stallTimer;
    QObject::connect(&stallTimer, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        r.longestStall =
            std::max(r.longestStall, std::chrono::duration<double>(now - lastTick).count());
        lastTick = now;
    });
    stallTimer.start(10ms);
    RunLoop(Millis(options.seconds + options.drainSeconds), [&] {
        const uint64_t handled = counter.Entries() - handledBefore;
        r.maxBacklog = std::max(r.maxBacklog, streamer.Sent() - std::min(streamer.Sent(), handled));
        r.rssPeak = std::max(r.rssPeak, ResidentBytes());
        return streamer.Finished() && handled >= streamer.Sent();
    });
    const auto caughtUp = Clock::now();
    stallTimer.stop();
    streamer.Stop();
    // Let a late extra entry show itself.
    RunLoop(200ms, nullptr);
    const CpuMark cpuAfter = CpuNow();
    const auto end = Clock::now();
    streamer.Join();

    r.streamSeconds = streamer.StreamedSeconds();
    r.drainSeconds = std::chrono::duration<double>(caughtUp - start).count() - r.streamSeconds;
    r.wallSeconds = std::chrono::duration<double>(end - start).count();
    r.sent = streamer.Sent();
    r.bytes = streamer.Bytes();
    r.unsent = streamer.Unsent();
    r.handled = counter.Entries() - handledBefore;
    r.threadCpu = cpuAfter.thread - cpuBefore.thread;
    r.programCpu = cpuAfter.process - cpuBefore.process - streamer.Cpu();
    r.rssAfter = ResidentBytes();
    r.rssPeak = std::max(r.rssPeak, r.rssAfter);
    r.logBytes = counter.Log().size();
    r.logEntries = counter.Entries();
    r.logMatches = Hash(kHashStart, counter.Log()) == expectedHash;
    r.talkBack = device.ReadAvailable();
    return r;
}

// Qt's own messages (fonts that lack OpenType support for a script the odd bytes show as, say)
// are counted and summed up at the end, so that they do not bury the figures.
struct QtMessages {
    std::mutex mutex;
    std::set<std::string> distinct;
    uint64_t total = 0;
};
QtMessages& TheQtMessages() {
    static QtMessages messages;
    return messages;
}
void CollectQtMessage(QtMsgType /*type*/, const QMessageLogContext& /*context*/,
                      const QString& text) {
    QtMessages& m = TheQtMessages();
    const std::lock_guard<std::mutex> lock(m.mutex);
    ++m.total;
    m.distinct.insert(text.toStdString());
}

std::string Printable(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out;
}

bool Report(const PhaseResult& r) {
    const double wall = r.wallSeconds;
    const bool lost = r.handled != r.sent;
    std::printf(
        "\n== %s: %s ==\n", r.name,
        r.targetRate > 0
            ? (std::to_string(static_cast<int64_t>(r.targetRate)) + " bytes/s target").c_str()
            : "as fast as the terminal takes bytes");
    std::printf("  streamed            %.1f s, then %.2f s until the log caught up\n",
                r.streamSeconds, r.drainSeconds);
    std::printf("  bytes sent          %llu (%.0f bytes/s = %.1fx the line rate)\n",
                static_cast<unsigned long long>(r.bytes),
                static_cast<double>(r.bytes) / r.streamSeconds,
                static_cast<double>(r.bytes) / r.streamSeconds / kLineBytesPerSecond);
    std::printf("  responses sent      %llu (%.0f/s)\n", static_cast<unsigned long long>(r.sent),
                static_cast<double>(r.sent) / r.streamSeconds);
    std::printf("  responses handled   %llu\n", static_cast<unsigned long long>(r.handled));
    std::printf("  responses lost      %lld%s\n",
                static_cast<long long>(r.sent) - static_cast<long long>(r.handled),
                lost ? "   <-- FAULT" : "");
    if (r.unsent > 0) {
        std::printf("  left unsent         %llu (the terminal stopped taking bytes)\n",
                    static_cast<unsigned long long>(r.unsent));
    }
    std::printf("  most waiting        %llu responses sent but not yet logged\n",
                static_cast<unsigned long long>(r.maxBacklog));
    std::printf("  longest loop stall  %.0f ms (a 10 ms timer's longest gap)\n",
                r.longestStall * 1000);
    std::printf("  handled per second  %.0f responses (from the first sent to the last logged)\n",
                static_cast<double>(r.handled) / (r.streamSeconds + r.drainSeconds));
    std::printf("  CPU, program        %.1f%% of one core (%.2f s over %.2f s; the device's thread "
                "not counted)\n",
                100.0 * r.programCpu / wall, r.programCpu, wall);
    std::printf("    of it its thread  %.1f%% of one core (the rest is Qt's painting threads)\n",
                100.0 * r.threadCpu / wall);
    const int64_t growth = r.rssAfter - r.rssBefore;
    std::printf("  RSS                 %.1f MB -> %.1f MB (peak %.1f MB), %+.1f MB\n",
                static_cast<double>(r.rssBefore) / 1e6, static_cast<double>(r.rssAfter) / 1e6,
                static_cast<double>(r.rssPeak) / 1e6, static_cast<double>(growth) / 1e6);
    std::printf("  memory per response %.0f bytes (RSS growth / responses logged)\n",
                r.handled > 0 ? static_cast<double>(growth) / static_cast<double>(r.handled) : 0.0);
    std::printf("  log                 %llu bytes, %llu entries\n",
                static_cast<unsigned long long>(r.logBytes),
                static_cast<unsigned long long>(r.logEntries));
    std::printf("  log matches device  %s\n", r.logMatches ? "yes" : "NO   <-- FAULT");
    std::printf("  program sent back   %s\n",
                r.talkBack.empty() ? "nothing" : (Printable(r.talkBack) + "   <-- FAULT").c_str());
    return !lost && r.logMatches && r.talkBack.empty();
}

} // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    // Figures show as they come, also when the output goes to a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const MemoryGuard guard(options.maxRssMegabytes);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    }
    qInstallMessageHandler(CollectQtMessage);
    QApplication app(argc, argv);
    bool ok = true;

    // Declared first so it outlives the program's port.
    PtyDevice device;
    if (!device.IsValid()) {
        std::fprintf(stderr, "no pseudo-terminal to be had\n");
        return 1;
    }

    framework::RuntimeInit();
    framework::RuntimePerformInitializers(ProgramModules());
    std::vector<std::string> messages;
    framework::SetMsgBoxPresenter([&](const framework::Text& text) { messages.push_back(text); });
    framework::SetSerialPortSource([path = device.SlavePath()] {
        return std::vector<framework::SerialPortEntry>{{"pty", path}};
    });

    std::printf("long run: %.0f s a phase, line rate %.0f bytes/s (9600 baud 8N1), port %s\n",
                options.seconds, kLineBytesPerSecond, device.SlavePath().c_str());
    {
        wdwMainRef window = wdwMain();
        const auto pickStart = Clock::now();
        // Opens the port and waits the program's two seconds before the start-up commands.
        window->pmPorts()->Pick(0);
        const std::string startup = device.ReadExactly(kStartupBytes.size(), 5000ms);
        const double startupSeconds =
            std::chrono::duration<double>(Clock::now() - pickStart).count();
        const termios line = device.SlaveSettings();
        const bool lineOk = device.SlaveBaudRate() == 9600 && (line.c_cflag & CSIZE) == CS8 &&
                            (line.c_cflag & PARENB) == 0 && (line.c_cflag & CSTOPB) == 0;
        const bool startupOk = window->comPort1()->IsOpen() && startup == kStartupBytes;
        std::printf("\n== start-up ==\n");
        std::printf("  port open           %s\n", window->comPort1()->IsOpen() ? "yes" : "NO");
        std::printf("  line settings       %u baud, %s  %s\n", device.SlaveBaudRate(),
                    lineOk ? "8N1" : "not 8N1", lineOk ? "ok" : "<-- FAULT");
        std::printf("  commands sent       %s  %s (%.2f s after the pick)\n",
                    Printable(startup).c_str(), startupOk ? "ok" : "<-- FAULT", startupSeconds);
        ok = ok && lineOk && startupOk;

        if (startupOk) {
            LogCounter counter(window);
            ResponseMaker maker;
            uint64_t expectedHash = Hash(kHashStart, counter.Log());
            // The first responses load fonts for the odd bytes and lay out the first lines: a
            // cost paid once, kept out of the figures below.
            Options warmUpOptions = options;
            warmUpOptions.seconds = std::min(options.seconds, 2.0);
            const PhaseResult warmUp = RunPhase("warm-up", 2 * kLineBytesPerSecond, warmUpOptions,
                                                device, counter, maker, expectedHash);
            const bool warmUpOk =
                warmUp.handled == warmUp.sent && warmUp.logMatches && warmUp.talkBack.empty();
            std::printf("\n== warm-up, not counted below ==\n  %llu responses in %.1f s, "
                        "RSS %+.1f MB  %s\n",
                        static_cast<unsigned long long>(warmUp.sent), warmUp.wallSeconds,
                        static_cast<double>(warmUp.rssAfter - warmUp.rssBefore) / 1e6,
                        warmUpOk ? "ok" : "<-- FAULT (responses lost or changed)");
            ok = ok && warmUpOk;
            const PhaseResult line = RunPhase("phase 1, the line's rate", kLineBytesPerSecond,
                                              options, device, counter, maker, expectedHash);
            ok = Report(line) && ok;
            const PhaseResult fast = RunPhase("phase 2, far above the line's rate",
                                              options.fastFactor * kLineBytesPerSecond, options,
                                              device, counter, maker, expectedHash);
            ok = Report(fast) && ok;

            // A quiet line must cost nothing: an open port with nothing arriving.
            const CpuMark before = CpuNow();
            const auto start = Clock::now();
            RunLoop(Millis(options.idleSeconds), nullptr, 1000ms);
            const CpuMark after = CpuNow();
            const double wall = std::chrono::duration<double>(Clock::now() - start).count();
            std::printf("\n== idle, port open, log of %zu bytes ==\n", counter.Log().size());
            std::printf(
                "  CPU, program        %.2f%% of one core over %.1f s (its thread %.2f%%)\n",
                100.0 * (after.process - before.process) / wall, wall,
                100.0 * (after.thread - before.thread) / wall);
        }

        if (!messages.empty()) {
            ok = false;
            for (const std::string& m : messages) {
                std::printf("  message box: %s   <-- FAULT\n", Printable(m).c_str());
            }
        }
        // The program's port closes before the device goes.
        window->comPort1()->Close();
    }
    framework::RuntimePerformFinalizers();
    framework::RuntimeExit();
    framework::SetMsgBoxPresenter(nullptr);
    framework::SetSerialPortSource(nullptr);
    {
        QtMessages& m = TheQtMessages();
        const std::lock_guard<std::mutex> lock(m.mutex);
        std::printf("\nQt messages: %llu (%zu distinct)%s\n",
                    static_cast<unsigned long long>(m.total), m.distinct.size(),
                    m.distinct.empty() ? "" : ", for example:");
        int shown = 0;
        for (auto it = m.distinct.begin(); it != m.distinct.end() && shown < 3; ++it, ++shown) {
            std::printf("  %s\n", it->c_str());
        }
    }
    std::printf("\n%s\n", ok ? "all checks passed" : "CHECKS FAILED");
    return ok ? 0 : 1;
}
