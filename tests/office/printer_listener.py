#!/usr/bin/env python3
"""The print server's printer: an AppSocket listener on 127.0.0.1 that saves
each connection's bytes, exactly as received, to OUTDIR/job-N.prn. It writes
its port to OUTDIR/port once it listens, and runs until it is killed."""
import pathlib
import socket
import sys

out = pathlib.Path(sys.argv[1])
with socket.create_server(("127.0.0.1", 0)) as server:
    (out / "port.tmp").write_text(str(server.getsockname()[1]))
    (out / "port.tmp").rename(out / "port")
    for number in range(1, sys.maxsize):
        connection, _ = server.accept()
        partial = out / f"job-{number}.part"
        with connection, partial.open("wb") as data:
            while chunk := connection.recv(65536):
                data.write(chunk)
        partial.rename(out / f"job-{number}.prn")
