# An FTP server on 127.0.0.1 for the tests, on a port the system picks.
#   ftp_test_server.py ROOT [--tls DIR]
# Prints the port (below 32767) on the first line of standard output, serves ROOT, and
# stops when its standard input closes (the test ended) or after ten minutes.
# Users, all with the password "secret":
#   user      may do anything
#   reader    may only read
#   norename  may write but not rename
# With --tls it writes a certificate for 127.0.0.1 to DIR/cert.pem and
# takes no login that has not switched the connection to TLS first.
import os
import random
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def make_certificate(folder):
    from OpenSSL import crypto
    key = crypto.PKey()
    key.generate_key(crypto.TYPE_RSA, 2048)
    cert = crypto.X509()
    cert.get_subject().CN = "127.0.0.1"
    cert.set_serial_number(1)
    cert.gmtime_adj_notBefore(-60)
    cert.gmtime_adj_notAfter(24 * 3600)
    cert.set_issuer(cert.get_subject())
    cert.set_pubkey(key)
    cert.add_extensions([
        crypto.X509Extension(b"subjectAltName", False, b"IP:127.0.0.1"),
        crypto.X509Extension(b"basicConstraints", True, b"CA:TRUE"),
    ])
    cert.sign(key, "sha256")
    path = os.path.join(folder, "cert.pem")
    with open(path, "wb") as out:
        out.write(crypto.dump_certificate(crypto.FILETYPE_PEM, cert))
        out.write(crypto.dump_privatekey(crypto.FILETYPE_PEM, key))
    return path


def main():
    root = sys.argv[1]
    authorizer = DummyAuthorizer()
    authorizer.add_user("user", "secret", root, perm="elradfmwMT")
    authorizer.add_user("reader", "secret", root, perm="elr")
    authorizer.add_user("norename", "secret", root, perm="elradmwMT")
    handler = FTPHandler
    if len(sys.argv) > 3 and sys.argv[2] == "--tls":
        from pyftpdlib.handlers import TLS_FTPHandler
        handler = TLS_FTPHandler
        handler.certfile = make_certificate(sys.argv[3])
        handler.tls_control_required = True
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0.1  # no need to slow down guessing here
    # Below 32767, the highest port a configuration file keeps; outside the
    # range the system hands out for outgoing connections.
    server = None
    for _ in range(100):
        try:
            server = FTPServer(("127.0.0.1", random.randrange(20000, 32767)), handler)
            break
        except OSError:
            continue
    print(server.socket.getsockname()[1], flush=True)

    def stop_when_test_ends():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=stop_when_test_ends, daemon=True).start()
    threading.Timer(600, lambda: os._exit(0)).start()
    server.serve_forever()


main()
