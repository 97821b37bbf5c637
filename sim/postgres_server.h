// A throw-away PostgreSQL server for one test: Debian's initdb and pg_ctl
// (postgresql package) on a Unix socket in a temporary folder, and on a free
// TCP port of 127.0.0.1 only when asked (for a Windows program under Wine,
// whose libpq knows no Unix socket). The server refuses to run as root, so
// under root (CI) it runs as nobody.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlen::test {

class PostgresServer {
public:
    static constexpr const char* kBin = "/usr/lib/postgresql/15/bin";

    static bool Installed() {
        return std::filesystem::exists(std::string(kBin) + "/initdb") &&
               std::filesystem::exists(std::string(kBin) + "/pg_ctl");
    }

    enum class Reach { Socket, SocketAndTcp };

    // Check Started() before use; Log() says why it did not start.
    explicit PostgresServer(Reach reach = Reach::Socket) {
        char pattern[] = "/tmp/vorlen-pg-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            return;
        }
        folder_ = pattern;
        const std::string as = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        if (::geteuid() == 0 && std::system(("chown 65534:65534 " + folder_).c_str()) != 0) {
            return;
        }
        const std::string bin = std::string(kBin);
        tcpPort_ = reach == Reach::SocketAndTcp ? FreePort() : 0;
        const std::string listen = tcpPort_ != 0 ? "127.0.0.1 -p " + std::to_string(tcpPort_) : "";
        start_ = as + bin + "/pg_ctl -w -D " + folder_ + "/data -l " + folder_ +
                 "/server.log -o \"-k " + folder_ + " -c listen_addresses=" + listen +
                 " -c fsync=off\" start >> " + Log() + " 2>&1";
        stop_ = as + bin + "/pg_ctl -D " + folder_ + "/data -m immediate stop > /dev/null 2>&1";
        started_ =
            std::system((as + bin + "/initdb --no-sync -A trust -U vorlen -D " + folder_ +
                         "/data > " + Log() + " 2>&1")
                            .c_str()) == 0 &&
            std::system(start_.c_str()) == 0;
    }

    // An outage: the server gone (its connections cut, as a crash does), and
    // back on the same socket.
    bool Stop() const { return std::system(stop_.c_str()) == 0; }
    bool Start() const { return std::system(start_.c_str()) == 0; }

    ~PostgresServer() {
        if (started_) {
            std::system(stop_.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    bool Started() const { return started_; }
    std::string Log() const { return folder_ + "/setup.log"; }

    // A libpq connection URI for the server's database "postgres": over TCP
    // when the server listens there.
    std::string Uri() const {
        return tcpPort_ != 0 ? "postgresql://127.0.0.1:" + std::to_string(tcpPort_) +
                                   "/postgres?user=vorlen"
                             : "postgresql:///postgres?host=" + folder_ + "&user=vorlen";
    }

private:
    // A port nothing listens on now: the one the system hands out for port 0.
    static int FreePort() {
        const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        const bool bound =
            probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0;
        if (probe >= 0) {
            ::close(probe);
        }
        return bound ? ntohs(address.sin_port) : 0;
    }

    int tcpPort_ = 0;
    std::string folder_;
    std::string start_;
    std::string stop_;
    bool started_ = false;
};

}  // namespace vorlen::test
