#pragma once
// SSH host keys as the user's ssh shows and stores them: the "SHA256:..."
// fingerprint and the known_hosts line.

#include <string>
#include <string_view>

namespace tabulon::posix {

// The SHA-256 digest of data, 32 bytes.
std::string Sha256(std::string_view data);

// data in base64; without the "=" padding when padded is false.
std::string Base64(std::string_view data, bool padded);

// "SHA256:" and the digest of the key (its bytes as the server sends
// them), as ssh-keygen -l shows it.
std::string HostKeyFingerprint(std::string_view key);

// The line of known_hosts for the key of host on port: "host type base64",
// with "[host]:port" for a port other than 22; "" when the key is not one
// (it names its own type at its start).
std::string KnownHostsLine(const std::string& host, int port, std::string_view key);

// Adds line to the known_hosts file at path, making its folder (owner only)
// when missing; the file's other lines are kept as they are. The reason
// when it failed, else "".
std::string AddKnownHost(const std::string& path, const std::string& line);

}  // namespace tabulon::posix
