#include "posix/CurlFtpSession.h"

#include <curl/curl.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

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
// before it and a "/" after it, as users copy them, are ignored. A port
// typed after it ("name:2121", "[::1]:2121") goes to port.
std::string HostOf(std::string server, int& port) {
    if (server.size() > 6 && strncasecmp(server.c_str(), "ftp://", 6) == 0) server.erase(0, 6);
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

}  // namespace

CCurlFtpSession::CCurlFtpSession() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (const char* verbose = std::getenv("TABULON_FTP_VERBOSE"); verbose && *verbose) m_verbose = stderr;
}

CCurlFtpSession::~CCurlFtpSession() { Close(); }

void CCurlFtpSession::SetTimeouts(long connectSeconds, long stallSeconds) {
    m_connectTimeout = connectSeconds;
    m_stallTimeout = stallSeconds;
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

FtpResult CCurlFtpSession::Connect(const std::string& server, const std::string& user, const std::string& password,
                                   int port) {
    Close();
    m_host = HostOf(server, port);
    if (port < 1 || port > 65535) return Failed("Port " + std::to_string(port) + " is not a valid FTP port.");
    if (HoldsLineEnd(user) || HoldsLineEnd(password)) return Failed("The login name or password holds a line end.");
    m_port = port;
    m_user = user;
    m_password = password;
    CURL* curl = curl_easy_init();
    if (!curl) return Failed("The FTP library could not start.");
    m_curl = curl;
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
    // No name: the library logs in as anonymous.
    if (!m_user.empty()) curl_easy_setopt(curl, CURLOPT_USERNAME, m_user.c_str());
    if (!m_user.empty()) curl_easy_setopt(curl, CURLOPT_PASSWORD, m_password.c_str());
    curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    curl_easy_setopt(curl, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
    if (!m_caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, m_caFile.c_str());
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
    return Perform(Request::Login, "/");
}

FtpResult CCurlFtpSession::PutFile(const std::string& localFile, const std::string& remote) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(localFile.c_str(), "rb"), &std::fclose);
    struct stat info {};
    if (!file || fstat(fileno(file.get()), &info) != 0)
        return Failed("Cannot read " + localFile + ": " + std::strerror(errno));
    return Perform(Request::Store, "/" + remote, file.get(), static_cast<long long>(info.st_size));
}

FtpResult CCurlFtpSession::Rename(const std::string& from, const std::string& to) {
    return Perform(Request::Commands, "/", nullptr, 0, {"RNFR " + from, "RNTO " + to});
}

FtpResult CCurlFtpSession::Delete(const std::string& remote) {
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
    curl_url_set(url.get(), CURLUPART_SCHEME, "ftp", 0);
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
    curl_easy_setopt(curl, CURLOPT_POSTQUOTE, quote.get());
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &state);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &state);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);

    const CURLcode code = curl_easy_perform(curl);

    // The handle outlives this call's URL, commands and buffers.
    curl_easy_setopt(curl, CURLOPT_CURLU, nullptr);
    curl_easy_setopt(curl, CURLOPT_POSTQUOTE, nullptr);
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);

    if (code == CURLE_OK) return {};
    if (code == CURLE_ABORTED_BY_CALLBACK && state.cancelled) return {FtpStatus::Cancelled, "Cancelled."};
    if (ServerSaidNo(code) && !state.lastReply.empty() && (state.lastReply[0] == '4' || state.lastReply[0] == '5'))
        return Failed(state.lastReply);
    return Failed(error[0] ? error : curl_easy_strerror(code));
}

}  // namespace tabulon::posix
