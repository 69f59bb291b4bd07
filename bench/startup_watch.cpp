// Starts a program and reports when its first top-level window is mapped, and
// how much memory it holds a moment later.
//
//   meravel_bench_startup_watch [--settle-ms N] [--timeout-ms N] -- PROGRAM [ARGS...]
//
// It watches the root window of $DISPLAY for SubstructureNotify events, then
// forks and executes the program. The first MapNotify of a child of the root
// whose _NET_WM_PID is the program's marks the window as mapped: on an X
// server without a window manager the map is immediate, so the time between
// the fork and that event is the program's start-up. After --settle-ms more
// milliseconds (1000 by default) it reads the program's /proc/PID/status, ends
// the program and prints one line:
//
//   map_ms=123.456 cpu_ms=98.765 vm_rss_kb=45678 rss_anon_kb=12345 rss_file_kb=33333
//
// cpu_ms is the processor time the program's threads had used when the window
// was mapped (/proc/PID/task/*/schedstat): less disturbed than the wall time
// by other work on the machine.
//
// Exit status: 0 on success, 1 when the program ends or does not map a window
// within --timeout-ms (30000 by default), 2 on a usage or X error.

#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

template <typename T> struct FreeDeleter
{
    void operator()(T *p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter<T>>;

xcb_atom_t InternAtom(xcb_connection_t *connection, const char *name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The window's _NET_WM_PID, if it has one.
std::optional<pid_t> WindowPid(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t netWmPid)
{
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, netWmPid, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    return static_cast<pid_t>(*static_cast<const uint32_t *>(xcb_get_property_value(reply.get())));
}

// The processor time, in nanoseconds, the live threads of the process have
// used so far.
long long CpuNanoseconds(pid_t pid)
{
    long long total = 0;
    std::error_code error;
    for (const auto &task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        long long onCpu = 0;
        if (schedstat >> onCpu)
            total += onCpu;
    }
    return total;
}

// Fields of /proc/PID/status, in kB, or -1 when absent.
struct Memory
{
    long vmRss = -1;
    long rssAnon = -1;
    long rssFile = -1;
};

Memory ReadMemory(pid_t pid)
{
    Memory memory;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        auto field = [&line](const char *name, long &value) {
            const std::size_t length = std::strlen(name);
            if (line.compare(0, length, name) == 0)
                value = std::strtol(line.c_str() + length, nullptr, 10);
        };
        field("VmRSS:", memory.vmRss);
        field("RssAnon:", memory.rssAnon);
        field("RssFile:", memory.rssFile);
    }
    return memory;
}

void EndChild(pid_t pid)
{
    if (waitpid(pid, nullptr, WNOHANG) == pid)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int Usage()
{
    std::fprintf(stderr, "usage: meravel_bench_startup_watch [--settle-ms N] [--timeout-ms N] -- PROGRAM [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    long settleMs = 1000;
    long timeoutMs = 30000;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string arg = argv[first];
        if (arg == "--") {
            ++first;
            break;
        }
        if ((arg == "--settle-ms" || arg == "--timeout-ms") && first + 1 < argc) {
            (arg == "--settle-ms" ? settleMs : timeoutMs) = std::strtol(argv[++first], nullptr, 10);
            continue;
        }
        return Usage();
    }
    if (first >= argc)
        return Usage();

    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "startup_watch: cannot connect to the X server (DISPLAY=%s)\n",
            std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const xcb_atom_t netWmPid = InternAtom(connection, "_NET_WM_PID");

    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t selected = xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask);
    if (xcb_generic_error_t *error = xcb_request_check(connection, selected)) {
        std::fprintf(stderr, "startup_watch: cannot watch the root window (X error %d)\n", error->error_code);
        std::free(error);
        return 2;
    }

    // The watch is in place before the program exists: no map can be missed.
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("startup_watch: fork");
        return 2;
    }
    if (child == 0) {
        close(xcb_get_file_descriptor(connection));
        execvp(argv[first], argv + first);
        std::fprintf(stderr, "startup_watch: cannot run %s: %s\n", argv[first], std::strerror(errno));
        _exit(127);
    }

    const Clock::time_point deadline = start + std::chrono::milliseconds(timeoutMs);
    std::optional<Clock::time_point> mapped;
    long long cpuNs = 0;
    pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (!mapped) {
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection)) {
                std::fprintf(stderr, "startup_watch: lost the X server\n");
                EndChild(child);
                return 2;
            }
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                std::fprintf(
                    stderr, "startup_watch: %s ended (status %d) before mapping a window\n", argv[first], status);
                return 1;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) {
                std::fprintf(stderr, "startup_watch: %s mapped no window within %ld ms\n", argv[first], timeoutMs);
                EndChild(child);
                return 1;
            }
            poll(&fd, 1, static_cast<int>(std::min<long long>(left, 50)));
            continue;
        }
        const Clock::time_point now = Clock::now();
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event);
            if (map->event == root && WindowPid(connection, map->window, netWmPid) == child) {
                mapped = now;
                cpuNs = CpuNanoseconds(child);
            }
        }
        std::free(event);
    }

    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    const Memory memory = ReadMemory(child);
    EndChild(child);
    xcb_disconnect(connection);
    if (memory.vmRss < 0) {
        std::fprintf(stderr, "startup_watch: %s ended before its memory could be read\n", argv[first]);
        return 1;
    }

    const double mapMs = std::chrono::duration<double, std::milli>(*mapped - start).count();
    std::printf("map_ms=%.3f cpu_ms=%.3f vm_rss_kb=%ld rss_anon_kb=%ld rss_file_kb=%ld\n", mapMs, cpuNs / 1e6,
        memory.vmRss, memory.rssAnon, memory.rssFile);
    return 0;
}
