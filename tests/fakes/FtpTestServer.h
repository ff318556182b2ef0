#pragma once
// A real FTP server (pyftpdlib) on 127.0.0.1 for one test: started on a
// port the system picks, stopped when the object goes. See
// ftp_test_server.py for its users.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

extern char** environ;

namespace tabulon::fakes {

class FtpTestServer {
public:
    // Serves root; with tlsFolder, only over TLS, its certificate written
    // to tlsFolder/cert.pem.
    explicit FtpTestServer(const std::string& root, const std::string& tlsFolder = "") {
        int input[2], output[2];
        if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> words{"/usr/bin/python3", TABULON_FTP_TEST_SERVER, root};
        if (!tlsFolder.empty()) words.insert(words.end(), {"--tls", tlsFolder});
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        m_input = input[1];
        // The first line is the port; a server that is not up in 20 s is not coming.
        std::string line;
        pollfd ready{output[0], POLLIN, 0};
        char c = 0;
        while (m_pid > 0 && poll(&ready, 1, 20000) == 1 && read(output[0], &c, 1) == 1 && c != '\n') line += c;
        close(output[0]);
        m_port = line.empty() ? 0 : std::stoi(line);
    }
    ~FtpTestServer() {
        if (m_input >= 0) close(m_input);
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // 0 when the server did not start.
    int Port() const { return m_port; }
    pid_t Pid() const { return m_pid; }  // to freeze it (SIGSTOP), as a server that stops answering

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_port = 0;
};

// A port on 127.0.0.1 where nothing listens (it was free a moment ago).
inline int UnusedPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    close(s);
    return ntohs(address.sin_port);
}

// A server that takes connections and never says a word: the port, and the
// socket to close when done.
inline std::pair<int, int> SilentServer() {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), size);
    listen(s, 4);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    return {ntohs(address.sin_port), s};
}

// A server that logs the user in and then answers nothing more, to
// whoever connects while it lives; or, given another answer to the
// password, that refuses with it.
class SilentAfterLoginServer {
public:
    explicit SilentAfterLoginServer(std::string passwordReply = "230 Logged in.\r\n")
        : m_passwordReply(std::move(passwordReply)) {
        std::tie(m_port, m_socket) = SilentServer();
        m_thread = std::thread([this] { Serve(); });
    }
    ~SilentAfterLoginServer() {
        shutdown(m_socket, SHUT_RDWR);  // accept returns
        close(m_socket);
        m_thread.join();
        for (const int client : m_clients) close(client);
    }
    SilentAfterLoginServer(const SilentAfterLoginServer&) = delete;
    SilentAfterLoginServer& operator=(const SilentAfterLoginServer&) = delete;
    int Port() const { return m_port; }

private:
    void Serve() {
        for (int client; (client = accept(m_socket, nullptr, nullptr)) >= 0;) {
            m_clients.push_back(client);
            const auto say = [client](const std::string& line) {
                send(client, line.data(), line.size(), MSG_NOSIGNAL);
            };
            say("220 Ready.\r\n");
            std::string got;
            char buffer[256];
            for (bool in = false; !in;) {
                const ssize_t n = recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                got.append(buffer, static_cast<std::size_t>(n));
                for (std::size_t end; !in && (end = got.find("\r\n")) != std::string::npos; got.erase(0, end + 2)) {
                    in = got.rfind("PASS", 0) == 0;
                    say(got.rfind("USER", 0) == 0 ? "331 Password, please.\r\n"
                        : in                      ? m_passwordReply
                                                  : "502 Not here.\r\n");
                }
            }
        }
    }

    std::string m_passwordReply;
    int m_port = 0;
    int m_socket = -1;
    std::vector<int> m_clients;
    std::thread m_thread;
};

}  // namespace tabulon::fakes
