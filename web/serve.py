#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 with Python's http.server, for the showcase page.

The page is sent cross-origin isolated (Cross-Origin-Opener-Policy: same-origin and
Cross-Origin-Embedder-Policy: require-corp), so that the browser's performance.now() counts
in microseconds rather than tenths of a millisecond: the page's frame times are then worth
reading. Everything it loads comes from the same origin, which these headers allow.
"""
import argparse
import functools
import http.server
import os
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".data": "application/octet-stream"}

    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)


def main():
    parser = argparse.ArgumentParser(prog="web/serve.py", description=__doc__.split("\n\n")[0])
    parser.add_argument("--dir", required=True, help="the folder to serve (build-web)")
    parser.add_argument("--port", type=int, default=8000, help="port on 127.0.0.1 (default 8000; 0: any free port)")
    parser.add_argument("--port-file", help="write the port in use to this file once listening")
    parser.add_argument("--verbose", action="store_true", help="log every request")
    args = parser.parse_args()
    if not os.path.isfile(os.path.join(args.dir, "index.html")):
        print(f"web/serve.py: error: no index.html in {args.dir} (build it with scripts/web.sh)", file=sys.stderr)
        return 1
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port),
                                                 functools.partial(Handler, directory=args.dir))
    except OSError as e:
        print(f"web/serve.py: error: cannot listen on 127.0.0.1:{args.port}: {e.strerror}", file=sys.stderr)
        return 1
    server.verbose = args.verbose
    port = server.server_address[1]
    if args.port_file:
        with open(args.port_file, "w") as f:
            f.write(f"{port}\n")
    print(f"Serving {os.path.abspath(args.dir)} at http://127.0.0.1:{port}/index.html (Ctrl-C stops)", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
