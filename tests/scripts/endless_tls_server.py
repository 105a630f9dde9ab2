#!/usr/bin/env python3
"""endless_tls_server.py FOLDER [--h2-only | --h1-only] [--bytes N | --redirect URL]: answers every GET on 127.0.0.1 with an endless
body as fast as the client takes it (or N bytes of it), over TLS with HTTP/2 when the client offers h2, else HTTP/1.1.
--h2-only offers no HTTP/1.1 in ALPN and closes a connection that did not choose h2; --h1-only offers no h2.
--redirect answers HTTP/1.1 with a 302 to URL instead. Writes
FOLDER/cert.pem, then prints its port, then the protocol of each connection ("h2" or "http/1.1") as it starts."""
import os, select, socket, ssl, subprocess, sys, threading
import h2.connection, h2.config, h2.events

cert, key = (os.path.join(sys.argv[1], name) for name in ("cert.pem", "key.pem"))
length = int(sys.argv[sys.argv.index("--bytes") + 1]) if "--bytes" in sys.argv else None
subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert], check=True, capture_output=True)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
context.set_alpn_protocols(["h2"] if "--h2-only" in sys.argv else ["http/1.1"] if "--h1-only" in sys.argv
                           else ["h2", "http/1.1"])
PIECE = b"a" * 16384


def serve(sock):
    protocol = sock.selected_alpn_protocol() or "http/1.1"
    print(protocol, flush=True)
    if protocol != "h2" and "--h2-only" in sys.argv:  # Python's TLS cannot refuse the handshake itself
        return sock.close()
    left = length
    if protocol != "h2":
        while (data := sock.recv(65536)) and b"\r\n\r\n" not in data: pass
        if "--redirect" in sys.argv:
            target = sys.argv[sys.argv.index("--redirect") + 1].encode()
            return sock.sendall(b"HTTP/1.1 302 Found\r\nLocation: " + target + b"\r\nContent-Length: 0\r\n\r\n")
        sock.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n" +
                     (b"Content-Length: %d\r\n" % length if length is not None else b"") + b"\r\n")
        while left is None or left > 0:
            sock.sendall(PIECE[:left])
            left = None if left is None else left - min(left, len(PIECE))
        return sock.close()
    conn, stream = h2.connection.H2Connection(h2.config.H2Configuration(client_side=False)), None
    conn.initiate_connection()
    while True:
        sock.sendall(conn.data_to_send())
        piece = PIECE[:left] if left is not None else PIECE
        if (not stream or left == 0 or conn.local_flow_control_window(stream) < len(piece)
                or select.select([sock], [], [], 0)[0]):
            for event in conn.receive_data(sock.recv(65536) or sys.exit()):
                if isinstance(event, h2.events.RequestReceived) and not stream:
                    stream = event.stream_id
                    conn.send_headers(stream, [(":status", "200"), ("content-type", "application/octet-stream")] +
                                      ([("content-length", str(length))] if length is not None else []),
                                      end_stream=length == 0)
        else:
            left = None if left is None else left - len(piece)
            conn.send_data(stream, piece, end_stream=left == 0)


threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()  # gone with its parent
listener = socket.create_server(("127.0.0.1", 0))
print(listener.getsockname()[1], flush=True)
while True:
    threading.Thread(target=lambda raw: serve(context.wrap_socket(raw, server_side=True)),
                     args=(listener.accept()[0],), daemon=True).start()
