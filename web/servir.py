#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 at a free port (the page's site): used by
scripts/web.sh --serve and by the page's tests.

    servir.py FOLDER     prints the address, serves until interrupted"""
import functools
import http.server
import sys
import threading


class Serveur:
    """The folder served from a thread of its own."""

    def __init__(self, dossier, port=0):
        class Gestionnaire(http.server.SimpleHTTPRequestHandler):
            extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                                  **{".wasm": "application/wasm", ".js": "text/javascript",
                                     ".data": "application/octet-stream"})

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(
            ("127.0.0.1", port), functools.partial(Gestionnaire, directory=dossier))
        self.port = self.httpd.server_address[1]
        self.fil = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.fil.start()

    def adresse(self, chemin="index.html"):
        return "http://127.0.0.1:%d/%s" % (self.port, chemin)

    def fermer(self):
        self.httpd.shutdown()
        self.httpd.server_close()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: servir.py FOLDER")
    serveur = Serveur(sys.argv[1])
    print("Corvella is served at %s (Ctrl+C stops)" % serveur.adresse(), flush=True)
    try:
        serveur.fil.join()
    except KeyboardInterrupt:
        serveur.fermer()
