#include "posix/CurlFtpSession.h"

#include <curl/curl.h>
#include <pwd.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "posix/HostKeys.h"

namespace tabulon::posix {

namespace {

CURL* Handle(void* curl) { return static_cast<CURL*>(curl); }

// What one call shares with the library's callbacks.
struct CallState {
    const FtpProgress* progress = nullptr;
    std::FILE* verbose = nullptr;
    const std::string* password = nullptr;
    std::string lastReply;  // the last complete reply line of the server
    bool cancelled = false;
};

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* userdata) {
    auto* state = static_cast<CallState*>(userdata);
    if (!state) return size * count;  // the goodbye as the handle closes
    std::string line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    // "550 text" ends a reply; "550-text" lines continue one.
    if (line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) && line[3] == ' ')
        state->lastReply = line;
    return size * count;
}

int OnProgress(void* userdata, curl_off_t, curl_off_t, curl_off_t upTotal, curl_off_t upNow) {
    auto* state = static_cast<CallState*>(userdata);
    if (!state || !state->progress || !*state->progress) return 0;
    if ((*state->progress)(static_cast<std::uint64_t>(upNow), static_cast<std::uint64_t>(upTotal))) return 0;
    state->cancelled = true;
    return 1;
}

// The conversation as "> sent", "< received" and "* library" lines, with the
// PASS command and every other appearance of the password masked.
int OnDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* userdata) {
    auto* state = static_cast<CallState*>(userdata);
    const char* mark = type == CURLINFO_TEXT         ? "* "
                       : type == CURLINFO_HEADER_IN  ? "< "
                       : type == CURLINFO_HEADER_OUT ? "> "
                                                     : nullptr;
    if (!mark || !state || !state->verbose) return 0;  // file contents and TLS records stay out
    std::string text(data, size);
    if (type == CURLINFO_HEADER_OUT && text.compare(0, 5, "PASS ") == 0) text = "PASS ****\r\n";
    MaskPassword(text, *state->password);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::fprintf(state->verbose, "%s%s\n", mark, text.c_str());
    return 0;
}

// Failures that the server's refusal explains better than the library does.
bool ServerSaidNo(CURLcode code) {
    switch (code) {
    case CURLE_LOGIN_DENIED:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_UPLOAD_FAILED:
    case CURLE_QUOTE_ERROR:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_DISK_FULL:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASS_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_USE_SSL_FAILED: return true;
    default: return false;
    }
}

bool HoldsLineEnd(const std::string& text) { return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos; }

// The host part of the server field: a bare name or address; an "ftp://"
// (or "ftps://", "sftp://") before it and a "/" after it, as users copy
// them, are ignored. A port
// typed after it ("name:2121", "[::1]:2121") goes to port.
std::string HostOf(std::string server, int& port) {
    for (const char* scheme : {"ftp://", "ftps://", "sftp://"}) {
        const std::size_t length = std::strlen(scheme);
        if (server.size() > length && strncasecmp(server.c_str(), scheme, length) == 0) server.erase(0, length);
    }
    while (!server.empty() && server.back() == '/') server.pop_back();
    const std::size_t colon = server.rfind(':');
    const bool bracketed = !server.empty() && server.front() == '[';
    // One colon, or one after "[...]"; more are an IPv6 address's own.
    const bool hasPort = colon != std::string::npos && colon + 1 < server.size() &&
                         (bracketed ? colon > 0 && server[colon - 1] == ']' : server.find(':') == colon) &&
                         server.find_first_not_of("0123456789", colon + 1) == std::string::npos;
    if (hasPort) {
        const std::string digits = server.substr(colon + 1);
        port = digits.size() > 5 ? 0 : std::atoi(digits.c_str());
        server.erase(colon);
    }
    if (server.find(':') != std::string::npos && server.front() != '[') server = "[" + server + "]";
    return server;
}

FtpResult Failed(std::string text) { return {FtpStatus::Failed, std::move(text)}; }

// Failures of an SFTP server that answered: a refusal, as a 5xx reply of FTP.
bool SftpRefused(CURLcode code) {
    return code == CURLE_QUOTE_ERROR || code == CURLE_REMOTE_ACCESS_DENIED || code == CURLE_REMOTE_FILE_NOT_FOUND ||
           code == CURLE_UPLOAD_FAILED || code == CURLE_REMOTE_DISK_FULL;
}

// A path for an SFTP command, quoted as the library reads it.
std::string Quoted(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

std::size_t DiscardListing(char*, std::size_t size, std::size_t count, void*) { return size * count; }

std::string LocalUserName() {
    if (const passwd* user = getpwuid(getuid()); user && user->pw_name) return user->pw_name;
    const char* name = std::getenv("USER");
    return name ? name : "";
}

std::string SshFolderOfUser() {
    const char* home = std::getenv("HOME");
    if ((!home || !*home) && getpwuid(getuid())) home = getpwuid(getuid())->pw_dir;
    return home && *home ? std::string(home) + "/.ssh" : std::string();
}

}  // namespace

struct HostKeyCallback {
    static int Call(CURL*, const curl_khkey* known, const curl_khkey* found, curl_khmatch match, void* session) {
        // The library hands the server's key over as its bytes.
        if (!found || !found->key || found->len == 0) return CURLKHSTAT_REJECT;
        (void)known;
        const bool accepted = static_cast<CCurlFtpSession*>(session)->CheckHostKey(
            std::string_view(found->key, found->len), match == CURLKHMATCH_OK, match == CURLKHMATCH_MISMATCH);
        return accepted ? CURLKHSTAT_FINE : CURLKHSTAT_REJECT;
    }
};

CCurlFtpSession::CCurlFtpSession() : m_sshFolder(SshFolderOfUser()) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (const char* verbose = std::getenv("TABULON_FTP_VERBOSE"); verbose && *verbose) m_verbose = stderr;
}

CCurlFtpSession::~CCurlFtpSession() { Close(); }

void CCurlFtpSession::SetTimeouts(long connectSeconds, long stallSeconds) {
    m_connectTimeout = connectSeconds;
    m_stallTimeout = stallSeconds;
}

void CCurlFtpSession::SetSecurity(FtpProtocol protocol, const std::string& certificateFile, UnknownHostKey unknownKey) {
    m_protocol = protocol;
    m_caFile = certificateFile;
    m_unknownKey = std::move(unknownKey);
}

bool CCurlFtpSession::CheckHostKey(std::string_view key, bool known, bool changed) {
    m_keySeen = true;
    if (known) return true;
    const std::string knownHosts = m_sshFolder + "/known_hosts";
    const std::string host = BareHost();
    const std::string fingerprint = HostKeyFingerprint(key);
    // The library reads no file it cannot read, and takes every key for unknown then.
    std::string unreadable;
    const std::vector<KnownHostKey> held = KnownHostKeys(knownHosts, host, m_port, unreadable);
    if (!unreadable.empty()) {
        m_hostKeyRefusal = "The host key of " + host + " cannot be checked: " + knownHosts +
                           " cannot be read: " + unreadable + ". The server's key has the fingerprint " + fingerprint +
                           ". Make that file readable, then upload again.";
        return false;
    }
    // The library compares only keys of the one type it asked the server for.
    for (const KnownHostKey& one : held)
        if (one.key == key) return true;
    if (changed || !held.empty()) {
        std::string types;
        for (const KnownHostKey& one : held)
            if (types.find(one.type) == std::string::npos) types += (types.empty() ? "" : " and ") + one.type;
        m_hostKeyRefusal = "The host key of " + host + " has changed: the server sent the " + HostKeyType(key) +
                           " key " + fingerprint + ", not the " +
                           (types.empty() ? std::string("one") : types + " key") + " that " + knownHosts +
                           " holds for it. Someone may be posing as the server. If its owner changed the key, "
                           "remove the old one from that file and connect again.";
        return false;
    }
    const std::string which = m_host + ":" + std::to_string(m_port) + " " + fingerprint;
    // Asked once: a second connection of the same upload uses the answer.
    if (which == m_acceptedKey) return true;
    if (!m_unknownKey || !m_unknownKey(host, fingerprint)) {
        m_hostKeyRefusal = "The host key of " + host + " is not known: it is not in " + knownHosts +
                           ". The server's key has the fingerprint " + fingerprint +
                           ". Compare it with the one the server's owner gives, then accept it when uploading "
                           "from the window, or add it with ssh.";
        return false;
    }
    // Accepted by the user: from now on it is known. Kept for this session
    // even when the file cannot take it.
    m_acceptedKey = which;
    const std::string line = KnownHostsLine(host, m_port, key);
    const std::string problem =
        line.empty() ? std::string("the key is not one it can hold") : AddKnownHost(knownHosts, line);
    if (!problem.empty())
        m_hostKeyNotice = "The host key of " + host + " was trusted for this upload but could not be saved in " +
                          knownHosts + ": " + problem + ". You will be asked about it again next time.";
    return true;
}

std::string CCurlFtpSession::BareHost() const {
    return m_host.size() > 2 && m_host.front() == '[' ? m_host.substr(1, m_host.size() - 2) : m_host;
}

std::string CCurlFtpSession::RemotePath(const std::string& remote) const {
    if (m_protocol != FtpProtocol::Sftp) return "/" + remote;
    // SFTP paths are the server's own; "/~/" is the login folder.
    return !remote.empty() && remote.front() == '/' ? remote : "/~/" + remote;
}

void CCurlFtpSession::Close() {
    if (!m_curl) return;
    curl_easy_cleanup(Handle(m_curl));  // says QUIT to a server still connected
    m_curl = nullptr;
}

void CCurlFtpSession::Abandon() {
    if (!m_curl) return;
    // With the connection shut, the library's QUIT fails at once instead of
    // waiting for a server that may never answer.
    curl_socket_t socket = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(Handle(m_curl), CURLINFO_ACTIVESOCKET, &socket) == CURLE_OK && socket != CURL_SOCKET_BAD)
        shutdown(socket, SHUT_RDWR);
    Close();
}

void CCurlFtpSession::SetTimeLimit(long milliseconds) {
    m_deadline.reset();
    if (milliseconds > 0) m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

FtpResult CCurlFtpSession::Connect(const std::string& server, const std::string& user, const std::string& password,
                                   int port) {
    Close();
    m_host = HostOf(server, port);
    if (port < 1 || port > 65535) return Failed("Port " + std::to_string(port) + " is not a valid FTP port.");
    if (HoldsLineEnd(user) || HoldsLineEnd(password)) return Failed("The login name or password holds a line end.");
    const bool sftp = m_protocol == FtpProtocol::Sftp;
    m_port = port;
    // SFTP logs in as somebody, like ssh: the local user unless named.
    m_user = sftp && user.empty() ? LocalUserName() : user;
    m_password = password;
    CURL* curl = curl_easy_init();
    if (!curl) return Failed("The FTP library could not start.");
    m_curl = curl;
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, sftp ? "sftp" : "ftp");
    // No name: the library logs in as anonymous.
    if (!m_user.empty()) curl_easy_setopt(curl, CURLOPT_USERNAME, m_user.c_str());
    if (!m_user.empty()) curl_easy_setopt(curl, CURLOPT_PASSWORD, m_password.c_str());
    if (sftp) {
        m_knownHosts = m_sshFolder + "/known_hosts";
        curl_easy_setopt(curl, CURLOPT_SSH_KNOWNHOSTS, m_knownHosts.c_str());
        curl_easy_setopt(curl, CURLOPT_SSH_KEYFUNCTION, &HostKeyCallback::Call);
        curl_easy_setopt(curl, CURLOPT_SSH_KEYDATA, this);
        m_keyFile.clear();
        if (m_password.empty()) {
            // The user's own key, else whatever the SSH agent holds.
            for (const char* name : {"/id_ed25519", "/id_rsa"})
                if (m_keyFile.empty() && access((m_sshFolder + name).c_str(), R_OK) == 0)
                    m_keyFile = m_sshFolder + name;
            long methods = CURLSSH_AUTH_AGENT;
            if (!m_keyFile.empty()) {
                methods |= CURLSSH_AUTH_PUBLICKEY;
                curl_easy_setopt(curl, CURLOPT_SSH_PRIVATE_KEYFILE, m_keyFile.c_str());
                // None: the library takes the public half from the private key.
                curl_easy_setopt(curl, CURLOPT_SSH_PUBLIC_KEYFILE, "");
            }
            curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES, methods);
        } else {
            curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES,
                             static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
        }
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &DiscardListing);
    } else {
        const long tls = m_protocol == FtpProtocol::Ftps ? CURLUSESSL_ALL : CURLUSESSL_TRY;
        curl_easy_setopt(curl, CURLOPT_USE_SSL, tls);
        curl_easy_setopt(curl, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
        // TLS 1.2 and no later: over 1.3 a server may send session tickets
        // on the data connection, which this library closes without reading
        // them; the reset that follows makes the server lose the end of the
        // page (vsftpd answers 426 to about every third upload).
        const long tlsVersions =
            static_cast<long>(CURL_SSLVERSION_TLSv1_2) | static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2);
        curl_easy_setopt(curl, CURLOPT_SSLVERSION, tlsVersions);
        // Beside the system's certificates, which stay trusted.
        if (!m_caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, m_caFile.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, m_connectTimeout);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, m_stallTimeout);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_stallTimeout);
    curl_easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader);
    if (m_verbose) {
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &OnDebug);
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    }
    m_hostKeyRefusal.clear();
    m_hostKeyNotice.clear();
    m_keySeen = false;
    FtpResult result = Perform(Request::Login, sftp ? "/~/" : "/");
    // Knowing a key of the host, the library asks the server for that type
    // only: a server without one fails before its key is seen. Asked again
    // for any, its key is checked against every one known.
    std::string unreadable;
    if (sftp && !m_keySeen && (m_lastCode == CURLE_FAILED_INIT || m_lastCode == CURLE_SSH) &&
        !KnownHostKeys(m_knownHosts, BareHost(), m_port, unreadable).empty()) {
        curl_easy_setopt(curl, CURLOPT_SSH_KNOWNHOSTS, "/dev/null");
        result = Perform(Request::Login, "/~/");
    }
    result.notice = m_hostKeyNotice;
    return result;
}

FtpResult CCurlFtpSession::PutFile(const std::string& localFile, const std::string& remote) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(localFile.c_str(), "rb"), &std::fclose);
    struct stat info {};
    if (!file || fstat(fileno(file.get()), &info) != 0)
        return Failed("Cannot read " + localFile + ": " + std::strerror(errno));
    return Perform(Request::Store, RemotePath(remote), file.get(), static_cast<long long>(info.st_size));
}

FtpResult CCurlFtpSession::Rename(const std::string& from, const std::string& to) {
    if (m_protocol != FtpProtocol::Sftp)
        return Perform(Request::Commands, "/", nullptr, 0, {"RNFR " + from, "RNTO " + to});
    const std::string rename = "rename " + Quoted(RemotePath(from)) + " " + Quoted(RemotePath(to));
    FtpResult result = Perform(Request::Commands, "/~/", nullptr, 0, {rename});
    // Many SFTP servers rename onto no existing file: the old page goes
    // first, then the new one takes its name.
    if (result.ReplyCode() >= 500)
        result = Perform(Request::Commands, "/~/", nullptr, 0, {"*rm " + Quoted(RemotePath(to)), rename});
    return result;
}

FtpResult CCurlFtpSession::Delete(const std::string& remote) {
    if (m_protocol == FtpProtocol::Sftp)
        return Perform(Request::Commands, "/~/", nullptr, 0, {"rm " + Quoted(RemotePath(remote))});
    return Perform(Request::Commands, "/", nullptr, 0, {"DELE " + remote});
}

FtpResult CCurlFtpSession::Perform(Request request, const std::string& path, std::FILE* upload, long long uploadSize,
                                   const std::vector<std::string>& commands) {
    CURL* curl = Handle(m_curl);
    if (!curl) return Failed("Not connected to an FTP server.");
    for (const std::string& command : commands)
        if (HoldsLineEnd(command)) return Failed("The remote file name holds a line end.");
    if (HoldsLineEnd(path)) return Failed("The remote file name holds a line end.");

    std::unique_ptr<CURLU, void (*)(CURLU*)> url(curl_url(), &curl_url_cleanup);
    if (!url) return Failed("Out of memory.");
    const bool sftp = m_protocol == FtpProtocol::Sftp;
    curl_url_set(url.get(), CURLUPART_SCHEME, sftp ? "sftp" : "ftp", 0);
    if (curl_url_set(url.get(), CURLUPART_HOST, m_host.c_str(), 0) != CURLUE_OK)
        return Failed("\"" + m_host + "\" is not a valid server name.");
    curl_url_set(url.get(), CURLUPART_PORT, std::to_string(m_port).c_str(), 0);
    if (curl_url_set(url.get(), CURLUPART_PATH, path.c_str(), CURLU_URLENCODE) != CURLUE_OK)
        // Appended rather than "..." + path.substr(1): g++ 12 at -O3 takes
        // that for an overlapping copy and warns.
        return Failed(std::string("\"").append(path, 1).append("\" is not a valid remote file name."));

    std::unique_ptr<curl_slist, void (*)(curl_slist*)> quote(nullptr, &curl_slist_free_all);
    for (const std::string& command : commands) {
        curl_slist* grown = curl_slist_append(quote.get(), command.c_str());
        if (!grown) return Failed("Out of memory.");
        quote.release();
        quote.reset(grown);
    }

    long timeLimit = 0;  // milliseconds; 0: none
    if (m_deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(*m_deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return Failed("The time allowed for talking to the server has run out.");
        timeLimit = static_cast<long>(left.count());
    }

    CallState state;
    state.progress = &m_progress;
    state.verbose = m_verbose;
    state.password = &m_password;
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_CURLU, url.get());
    curl_easy_setopt(curl, CURLOPT_NOBODY, request == Request::Store ? 0L : 1L);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, request == Request::Store ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_READDATA, upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE,
                     static_cast<curl_off_t>(request == Request::Store ? uploadSize : -1));
    // SFTP commands run before the request, which then moves nothing;
    // FTP ones after it.
    curl_easy_setopt(curl, sftp ? CURLOPT_QUOTE : CURLOPT_POSTQUOTE, quote.get());
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &state);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &state);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeLimit);

    const CURLcode code = curl_easy_perform(curl);
    m_lastCode = code;

    // The handle outlives this call's URL, commands and buffers.
    curl_easy_setopt(curl, CURLOPT_CURLU, nullptr);
    curl_easy_setopt(curl, CURLOPT_POSTQUOTE, nullptr);
    curl_easy_setopt(curl, CURLOPT_QUOTE, nullptr);
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);

    if (code == CURLE_OK) return {};
    if (code == CURLE_ABORTED_BY_CALLBACK && state.cancelled) return {FtpStatus::Cancelled, "Cancelled."};
    if (sftp && !m_hostKeyRefusal.empty()) return Failed(m_hostKeyRefusal);
    if (code == CURLE_USE_SSL_FAILED && m_protocol == FtpProtocol::Ftps)
        return Failed(
            "The server offers no TLS, which the protocol ftps requires; nothing was sent to it, the "
            "password neither. It said: " +
            (state.lastReply.empty() ? std::string(curl_easy_strerror(code)) : state.lastReply));
    if (sftp && SftpRefused(code)) return {FtpStatus::Failed, error[0] ? error : curl_easy_strerror(code), 550};
    if (ServerSaidNo(code) && !state.lastReply.empty() && (state.lastReply[0] == '4' || state.lastReply[0] == '5'))
        return Failed(state.lastReply);
    return Failed(error[0] ? error : curl_easy_strerror(code));
}

}  // namespace tabulon::posix
