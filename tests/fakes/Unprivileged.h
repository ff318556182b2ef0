#pragma once
// Runs a check as a user whom permission bits stop. Tests often run as the
// superuser, who reads any folder whatever its mode: there the check runs in
// a child process that has become "nobody" first.

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

namespace tabulon::fakes {

// What check answered; nothing when the child could not be made or could
// not give up its rights.
inline std::optional<std::string> RunUnprivileged(const std::function<std::string()>& check) {
    if (::geteuid() != 0) return check();
    int pipe[2];
    if (::pipe(pipe) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        ::close(pipe[0]);
        constexpr uid_t kNobody = 65534;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
        const std::string answer = check();
        const bool written = ::write(pipe[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(pipe[1]);
    std::string answer;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(got));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return answer;
}

}  // namespace tabulon::fakes
