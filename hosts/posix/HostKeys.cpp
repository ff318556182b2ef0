#include "posix/HostKeys.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace tabulon::posix {

namespace {

constexpr std::array<std::uint32_t, 64> kRounds = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

std::uint32_t Rotate(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void Compress(std::array<std::uint32_t, 8>& state, const unsigned char* block) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
               std::uint32_t{block[4 * i + 2]} << 8 | block[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::array<std::uint32_t, 8> v = state;
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t s1 = Rotate(v[4], 6) ^ Rotate(v[4], 11) ^ Rotate(v[4], 25);
        const std::uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
        const std::uint32_t t1 = v[7] + s1 + choice + kRounds[static_cast<std::size_t>(i)] + w[i];
        const std::uint32_t s0 = Rotate(v[0], 2) ^ Rotate(v[0], 13) ^ Rotate(v[0], 22);
        const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
        for (std::size_t j = 7; j > 0; --j) v[j] = v[j - 1];
        v[4] += t1;
        v[0] = t1 + s0 + majority;
    }
    for (std::size_t i = 0; i < 8; ++i) state[i] += v[i];
}

std::uint32_t RotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

std::string Sha1(std::string_view data) {
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::string message(data);
    message += static_cast<char>(0x80);
    while (message.size() % 64 != 56) message += '\0';
    const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    for (int shift = 56; shift >= 0; shift -= 8) message += static_cast<char>((bits >> shift) & 0xFF);
    for (std::size_t at = 0; at < message.size(); at += 64) {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i) {
            w[i] = 0;
            for (int b = 0; b < 4; ++b) w[i] = w[i] << 8 | static_cast<unsigned char>(message[at + 4 * i + b]);
        }
        for (int i = 16; i < 80; ++i) w[i] = RotateLeft(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            const std::uint32_t f = i < 20              ? (b & c) | (~b & d)
                                    : i < 40 || i >= 60 ? b ^ c ^ d
                                                        : (b & c) | (b & d) | (c & d);
            const std::uint32_t k = i < 20 ? 0x5A827999 : i < 40 ? 0x6ED9EBA1 : i < 60 ? 0x8F1BBCDC : 0xCA62C1D6;
            const std::uint32_t t = RotateLeft(a, 5) + f + e + k + w[i];
            e = d;
            d = c;
            c = RotateLeft(b, 30);
            b = a;
            a = t;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
    }
    std::string digest;
    for (std::uint32_t word : h)
        for (int shift = 24; shift >= 0; shift -= 8) digest += static_cast<char>((word >> shift) & 0xFF);
    return digest;
}

// base64 text as bytes; "" when it is not base64.
std::string FromBase64(std::string_view text) {
    std::string bytes;
    std::uint32_t group = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=') break;
        const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const char* at = c ? std::strchr(digits, c) : nullptr;
        if (!at) return {};
        group = group << 6 | static_cast<std::uint32_t>(at - digits);
        if ((bits += 6) >= 8) bytes += static_cast<char>((group >> (bits -= 8)) & 0xFF);
    }
    return bytes;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Whether text matches pattern, where * stands for any run of characters
// and ? for any one; nothing else is special (not "[", which begins names
// with a port).
bool Wildcard(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p, ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// Whether the host names of a known_hosts line ("a,b,!c", "|1|salt|hash")
// take in name.
bool NamesMatch(const std::string& names, const std::string& name) {
    if (names.rfind("|1|", 0) == 0) {
        const std::size_t bar = names.find('|', 3);
        return bar != std::string::npos &&
               HmacSha1(FromBase64(names.substr(3, bar - 3)), name) == FromBase64(names.substr(bar + 1));
    }
    bool matched = false;
    std::size_t from = 0;
    for (std::size_t comma; from <= names.size(); from = comma + 1) {
        comma = std::min(names.find(',', from), names.size());
        std::string pattern = Lower(names.substr(from, comma - from));
        const bool negated = !pattern.empty() && pattern[0] == '!';
        if (negated) pattern.erase(0, 1);
        if (!Wildcard(pattern, name)) continue;
        if (negated) return false;
        matched = true;
    }
    return matched;
}

}  // namespace

std::string HmacSha1(std::string_view key, std::string_view data) {
    std::string block = key.size() > 64 ? Sha1(key) : std::string(key);
    block.resize(64, '\0');
    std::string inner = block, outer = block;
    for (char& c : inner) c ^= 0x36;
    for (char& c : outer) c ^= 0x5C;
    return Sha1(outer + Sha1(inner.append(data)));
}

std::string HostKeyType(std::string_view key) {
    // Four bytes of length, then the name ("ssh-ed25519", "ecdsa-sha2-nistp256", ...).
    if (key.size() < 4) return {};
    const std::size_t length =
        std::size_t{static_cast<unsigned char>(key[0])} << 24 | std::size_t{static_cast<unsigned char>(key[1])} << 16 |
        std::size_t{static_cast<unsigned char>(key[2])} << 8 | static_cast<unsigned char>(key[3]);
    if (length == 0 || length > 64 || length > key.size() - 4) return {};
    const std::string_view type = key.substr(4, length);
    for (char c : type)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '@' || c == '.')) return {};
    return std::string(type);
}

std::vector<KnownHostKey> KnownHostKeys(const std::string& path, const std::string& host, int port,
                                        std::string& reason) {
    reason.clear();
    std::string text;
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        if (errno != ENOENT && errno != ENOTDIR) reason = std::strerror(errno);
        return {};
    }
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(file, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(got));
    if (got < 0) reason = std::strerror(errno);
    close(file);
    if (got < 0) return {};

    const std::string name = Lower(port == 22 ? host : "[" + host + "]:" + std::to_string(port));
    std::vector<KnownHostKey> keys;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        std::istringstream fields(text.substr(from, end - from));
        from = end + 1;
        std::string names, type, base64;
        if (!(fields >> names >> type >> base64)) continue;
        if (names[0] == '#' || names[0] == '@' || !NamesMatch(names, name)) continue;
        const std::string key = FromBase64(base64);
        if (!key.empty()) keys.push_back({type, key});
    }
    return keys;
}

std::string Sha256(std::string_view data) {
    std::array<std::uint32_t, 8> state = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::size_t at = 0;
    for (; at + 64 <= data.size(); at += 64) Compress(state, reinterpret_cast<const unsigned char*>(data.data() + at));
    // The rest, a 1 bit, zeros and the length in bits fill one or two blocks.
    unsigned char tail[128] = {};
    const std::size_t rest = data.size() - at;
    std::memcpy(tail, data.data() + at, rest);
    tail[rest] = 0x80;
    const std::size_t blocks = rest + 9 > 64 ? 2 : 1;
    const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    for (int i = 0; i < 8; ++i)
        tail[blocks * 64 - 1 - static_cast<std::size_t>(i)] = static_cast<unsigned char>(bits >> (8 * i));
    for (std::size_t b = 0; b < blocks; ++b) Compress(state, tail + 64 * b);
    std::string digest;
    for (std::uint32_t word : state)
        for (int shift = 24; shift >= 0; shift -= 8) digest += static_cast<char>((word >> shift) & 0xFF);
    return digest;
}

std::string Base64(std::string_view data, bool padded) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t at = 0; at < data.size(); at += 3) {
        const std::size_t count = std::min<std::size_t>(3, data.size() - at);
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i)
            group = group << 8 | (i < count ? static_cast<unsigned char>(data[at + i]) : 0u);
        for (std::size_t i = 0; i < 4; ++i) {
            if (i <= count)
                text += kDigits[(group >> (18 - 6 * i)) & 0x3F];
            else if (padded)
                text += '=';
        }
    }
    return text;
}

std::string HostKeyFingerprint(std::string_view key) { return "SHA256:" + Base64(Sha256(key), false); }

std::string KnownHostsLine(const std::string& host, int port, std::string_view key) {
    const std::string type = HostKeyType(key);
    if (type.empty()) return {};
    std::string line = port == 22 ? host : "[" + host + "]:" + std::to_string(port);
    line.append(" ").append(type).append(" ").append(Base64(key, true));
    return line;
}

std::string AddKnownHost(const std::string& path, const std::string& line) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::exists(folder, ec)) {
        if (mkdir(folder.c_str(), 0700) != 0) return std::strerror(errno);
    }
    // Appended: whatever the file holds stays as it is.
    const int file = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (file < 0) return std::strerror(errno);
    // A last line without its line end gets one first.
    std::string text = line + "\n";
    struct stat info {};
    char last = '\n';
    if (fstat(file, &info) == 0 && info.st_size > 0 && pread(file, &last, 1, info.st_size - 1) == 1 && last != '\n')
        text.insert(text.begin(), '\n');
    const bool written = write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const int error = errno;
    const bool closed = close(file) == 0;
    if (!written || !closed) return std::strerror(written ? errno : error);
    return {};
}

}  // namespace tabulon::posix
