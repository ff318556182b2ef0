#pragma once
// The distribution's own servers on 127.0.0.1 for one test: OpenSSH's sshd
// (SFTP) and vsftpd (FTP with TLS required), each with keys and settings
// made in a scratch folder, started on a free port and stopped when the
// object goes. Why one could not start is in Missing().

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "FtpTestServer.h"
#include "ScratchFolder.h"

namespace tabulon::fakes {

// Starts a command line with its output thrown away; its process, or -1.
inline pid_t SpawnQuietly(std::vector<std::string> words) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Runs a command line to its end, quietly; true when it succeeded.
inline bool RunQuietly(std::vector<std::string> words) {
    const pid_t pid = SpawnQuietly(std::move(words));
    int status = -1;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class RealServer {
public:
    RealServer(const RealServer&) = delete;
    RealServer& operator=(const RealServer&) = delete;
    ~RealServer() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    int Port() const { return m_port; }
    // Empty when the server runs, else what kept it from starting.
    const std::string& Missing() const { return m_missing; }

    // sshd serving SFTP to the user running the test, who logs in with the
    // key scratch/.ssh/id_ed25519; its host key is scratch/host_ed25519.
    static void Sshd(RealServer& server, const ScratchFolder& scratch) {
        const std::string ssh = scratch.PathOf(".ssh");
        std::filesystem::create_directories(ssh);
        if (!RunQuietly({"ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", scratch.PathOf("host_ed25519")}) ||
            !RunQuietly({"ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", ssh + "/id_ed25519"}))
            return server.Fail("ssh-keygen (openssh-client) could not make the keys");
        std::filesystem::copy_file(ssh + "/id_ed25519.pub", scratch.PathOf("authorized_keys"));
        const std::string config = scratch.MakeFile(
            "sshd_config", "ListenAddress 127.0.0.1\nHostKey " + scratch.PathOf("host_ed25519") +
                               "\nPidFile none\nAuthorizedKeysFile " + scratch.PathOf("authorized_keys") +
                               "\nStrictModes no\nPermitRootLogin prohibit-password\nPasswordAuthentication no\n"
                               "KbdInteractiveAuthentication no\nUsePAM no\nSubsystem sftp internal-sftp\n");
        // Where sshd run by root drops its privileges.
        if (geteuid() == 0) mkdir("/run/sshd", 0755);
        server.Start({"/usr/sbin/sshd", "-D", "-f", config, "-p", std::to_string(server.m_port)}, "openssh-server");
    }

    // vsftpd that takes anonymous logins only over TLS, with a self-signed
    // certificate scratch/cert.pem, and files in scratch/root/pub.
    static void Vsftpd(RealServer& server, const ScratchFolder& scratch) {
        const std::string root = scratch.PathOf("root");
        std::filesystem::create_directories(root + "/pub");
        const passwd* ftp = getpwnam("ftp");
        if (geteuid() != 0 || !ftp) return server.Fail("vsftpd runs for root only, with a user \"ftp\"");
        if (chown((root + "/pub").c_str(), ftp->pw_uid, ftp->pw_gid) != 0) return server.Fail("chown failed");
        if (!RunQuietly({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                         "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                         scratch.PathOf("key.pem"), "-out", scratch.PathOf("cert.pem")}))
            return server.Fail("openssl could not make a certificate");
        mkdir("/var/run/vsftpd", 0755);
        mkdir("/var/run/vsftpd/empty", 0755);
        const std::string config = scratch.MakeFile(
            "vsftpd.conf",
            "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" + std::to_string(server.m_port) +
                "\nbackground=NO\nanonymous_enable=YES\nanon_root=" + root +
                "\nno_anon_password=YES\nwrite_enable=YES\nanon_upload_enable=YES\nanon_other_write_enable=YES\n"
                "anon_umask=022\nlocal_enable=NO\nssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
                "force_anon_data_ssl=YES\nrequire_ssl_reuse=NO\nrsa_cert_file=" +
                scratch.PathOf("cert.pem") + "\nrsa_private_key_file=" + scratch.PathOf("key.pem") +
                "\npasv_enable=YES\npasv_address=127.0.0.1\nseccomp_sandbox=NO\n"
                "secure_chroot_dir=/var/run/vsftpd/empty\nxferlog_enable=NO\n");
        server.Start({"/usr/sbin/vsftpd", config}, "vsftpd");
    }

    RealServer() = default;

private:
    void Fail(const std::string& why) { m_missing = why; }

    // Starts the server and waits up to 10 s for its port to take connections.
    void Start(std::vector<std::string> words, const std::string& package) {
        if (access(words[0].c_str(), X_OK) != 0) return Fail(words[0] + " is not installed (" + package + ")");
        const std::string program = words[0];
        m_pid = SpawnQuietly(std::move(words));
        for (int tries = 0; m_pid > 0 && tries < 100; ++tries) {
            const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(static_cast<std::uint16_t>(m_port));
            const bool up = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            close(s);
            if (up) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        Fail(program + " did not start");
    }

    int m_port = UnusedPort();
    pid_t m_pid = -1;
    std::string m_missing;
};

}  // namespace tabulon::fakes
