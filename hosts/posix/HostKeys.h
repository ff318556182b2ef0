#pragma once
// SSH host keys as the user's ssh shows and stores them: the "SHA256:..."
// fingerprint and the known_hosts line.

#include <string>
#include <string_view>
#include <vector>

namespace tabulon::posix {

// The SHA-256 digest of data, 32 bytes.
std::string Sha256(std::string_view data);

// The HMAC-SHA1 of data under key, 20 bytes: how known_hosts hashes names.
std::string HmacSha1(std::string_view key, std::string_view data);

// data in base64; without the "=" padding when padded is false.
std::string Base64(std::string_view data, bool padded);

// "SHA256:" and the digest of the key (its bytes as the server sends
// them), as ssh-keygen -l shows it.
std::string HostKeyFingerprint(std::string_view key);

// The line of known_hosts for the key of host on port: "host type base64",
// with "[host]:port" for a port other than 22; "" when the key is not one
// (it names its own type at its start).
std::string KnownHostsLine(const std::string& host, int port, std::string_view key);

// The type a key names at its start ("ssh-ed25519"); "" when it names none.
std::string HostKeyType(std::string_view key);

// A key known_hosts holds: its type and its bytes.
struct KnownHostKey {
    std::string type;
    std::string key;
};

// The keys that the known_hosts file at path holds for host on port, found
// as ssh finds them: by name ("[host]:port" for a port other than 22), by
// pattern (* and ?, ! excluding) or by hashed name. Marked lines
// (@revoked, @cert-authority) are not keys of the host. A file that is not
// there holds none; one that cannot be read gives why in reason.
std::vector<KnownHostKey> KnownHostKeys(const std::string& path, const std::string& host, int port,
                                        std::string& reason);

// Adds line to the known_hosts file at path, making its folder (owner only)
// when missing; the file's other lines are kept as they are. The reason
// when it failed, else "".
std::string AddKnownHost(const std::string& path, const std::string& line);

}  // namespace tabulon::posix
