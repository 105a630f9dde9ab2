#!/usr/bin/env python3
"""endless_tls_server.py FOLDER: answers every GET on 127.0.0.1 with an endless body as fast as the client takes it,
over TLS with HTTP/2 when the client offers h2, else HTTP/1.1. Writes FOLDER/cert.pem, then prints its port."""
import os, select, socket, ssl, subprocess, sys, threading
import h2.connection, h2.config, h2.events

cert, key = (os.path.join(sys.argv[1], name) for name in ("cert.pem", "key.pem"))
subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert], check=True, capture_output=True)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
context.set_alpn_protocols(["h2", "http/1.1"])
PIECE = b"a" * 16384


def serve(sock):
    if sock.selected_alpn_protocol() != "h2":
        while (data := sock.recv(65536)) and b"\r\n\r\n" not in data: pass
        sock.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n")
        while True: sock.sendall(PIECE)
    conn, stream = h2.connection.H2Connection(h2.config.H2Configuration(client_side=False)), None
    conn.initiate_connection()
    while True:
        sock.sendall(conn.data_to_send())
        if not stream or conn.local_flow_control_window(stream) < len(PIECE) or select.select([sock], [], [], 0)[0]:
            for event in conn.receive_data(sock.recv(65536) or sys.exit()):
                if isinstance(event, h2.events.RequestReceived) and not stream:
                    stream = event.stream_id
                    conn.send_headers(stream, [(":status", "200"), ("content-type", "application/octet-stream")])
        else:
            conn.send_data(stream, PIECE)


threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()  # gone with its parent
listener = socket.create_server(("127.0.0.1", 0))
print(listener.getsockname()[1], flush=True)
while True:
    threading.Thread(target=lambda raw: serve(context.wrap_socket(raw, server_side=True)),
                     args=(listener.accept()[0],), daemon=True).start()
