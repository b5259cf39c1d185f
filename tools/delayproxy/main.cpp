// delayproxy: relays TCP connections to a server and holds every chunk of bytes for a fixed
// time in each direction, so that a round trip costs twice the delay. Stands in for a network
// between the program and its server when measuring.
//
//   delayproxy LISTEN_HOST:PORT TARGET_HOST:PORT ONE_WAY_DELAY_MS
//
// It runs until killed and prints one line when it listens. Every connection gets four threads
// (a reader and a writer in each direction); chunks keep their order.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk
{
    Clock::time_point due;
    std::vector<char> bytes; // empty: the sender closed its side
};

// One direction of a connection: bytes read from `from` are written to `to` once due.
struct Direction
{
    int from = -1;
    int to = -1;
    std::mutex lock;
    std::condition_variable ready;
    std::deque<Chunk> queue;
};

bool ParseAddress(const char *text, sockaddr_in &addr)
{
    std::string s(text);
    const auto colon = s.rfind(':');
    if (colon == std::string::npos)
        return false;
    std::memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(std::atoi(s.c_str() + colon + 1)));
    return inet_pton(AF_INET, s.substr(0, colon).c_str(), &addr.sin_addr) == 1;
}

void NoDelay(int fd)
{
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

void Reader(Direction &d, std::chrono::microseconds delay)
{
    std::vector<char> buf(64 * 1024);
    for (;;) {
        const ssize_t n = read(d.from, buf.data(), buf.size());
        Chunk c;
        c.due = Clock::now() + delay;
        if (n > 0)
            c.bytes.assign(buf.begin(), buf.begin() + n);
        {
            std::lock_guard<std::mutex> g(d.lock);
            d.queue.push_back(std::move(c));
        }
        d.ready.notify_one();
        if (n <= 0)
            return;
    }
}

void Writer(Direction &d)
{
    for (;;) {
        Chunk c;
        {
            std::unique_lock<std::mutex> g(d.lock);
            d.ready.wait(g, [&] { return !d.queue.empty(); });
            c = std::move(d.queue.front());
            d.queue.pop_front();
        }
        std::this_thread::sleep_until(c.due);
        if (c.bytes.empty()) {
            shutdown(d.to, SHUT_WR);
            return;
        }
        size_t off = 0;
        while (off < c.bytes.size()) {
            const ssize_t w = write(d.to, c.bytes.data() + off, c.bytes.size() - off);
            if (w <= 0) {
                shutdown(d.from, SHUT_RD);
                return;
            }
            off += static_cast<size_t>(w);
        }
    }
}

void Relay(int client, sockaddr_in target, std::chrono::microseconds delay)
{
    const int server = socket(AF_INET, SOCK_STREAM, 0);
    if (connect(server, reinterpret_cast<sockaddr *>(&target), sizeof target) != 0) {
        close(server);
        close(client);
        return;
    }
    NoDelay(client);
    NoDelay(server);
    auto up = std::make_shared<Direction>();
    auto down = std::make_shared<Direction>();
    up->from = client;
    up->to = server;
    down->from = server;
    down->to = client;
    std::thread t1(Reader, std::ref(*up), delay), t2(Writer, std::ref(*up));
    std::thread t3(Reader, std::ref(*down), delay), t4(Writer, std::ref(*down));
    t1.join();
    t2.join();
    t3.join();
    t4.join();
    close(server);
    close(client);
}

} // namespace

int main(int argc, char *argv[])
{
    sockaddr_in listenAddr{}, target{};
    if (argc != 4 || !ParseAddress(argv[1], listenAddr) || !ParseAddress(argv[2], target)) {
        std::fprintf(stderr, "usage: delayproxy LISTEN_HOST:PORT TARGET_HOST:PORT ONE_WAY_DELAY_MS\n");
        return 1;
    }
    const auto delay = std::chrono::microseconds(static_cast<long long>(std::atof(argv[3]) * 1000));
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(listener, reinterpret_cast<sockaddr *>(&listenAddr), sizeof listenAddr) != 0 ||
        listen(listener, 64) != 0) {
        std::perror("delayproxy: listen");
        return 1;
    }
    std::printf("delayproxy: %s -> %s, %s ms each way\n", argv[1], argv[2], argv[3]);
    std::fflush(stdout);
    for (;;) {
        const int client = accept(listener, nullptr, nullptr);
        if (client < 0)
            continue;
        std::thread(Relay, client, target, delay).detach();
    }
}
