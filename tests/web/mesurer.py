#!/usr/bin/env python3
"""The page's figures for BENCHMARKS.md: the site's size, the first frame
after the page's load from a local server (median of 5 fresh loads), and the
frames per second of the game in headless Chromium at 800x600 beside the
desktop game's in an 800x600 window on the same display, in the same run.
Run by scripts/web.sh --measure (under a display)."""
import gzip
import os
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from navigateur import Navigateur, Serveur  # noqa: E402

RACINE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
NATIF = os.environ.get("CORVELLA_CONSTRUCTION", os.path.join(RACINE, "build"))
SITE = os.path.join(os.environ.get("CORVELLA_WEB", os.path.join(RACINE, "build-web")), "site")
JEU = "Page.courant.module"


def taille_site():
    total = compresse = 0
    for dossier, _, fichiers in os.walk(SITE):
        for nom in fichiers:
            with open(os.path.join(dossier, nom), "rb") as f:
                octets = f.read()
            total += len(octets)
            compresse += len(gzip.compress(octets, 9))
            print("  %-16s %9d bytes" % (nom, len(octets)))
    return total, compresse


def main():
    total, compresse = taille_site()
    print("site: %.2f MB on disk (%.2f MB gzipped)" % (total / 1e6, compresse / 1e6))
    serveur = Serveur(SITE)
    n = Navigateur()
    try:
        premieres = []
        for essai in range(5):
            n.aller(serveur.adresse("index.html?mesure=%d" % essai))
            premieres.append(n.attendre_vrai(
                "typeof Page !== 'undefined' && !!Page.courant && !!Page.courant.module && "
                "%s._CorvellaImages() >= 1 && performance.now()" % JEU, 60, "the first frame"))
        print("first frame after the page's load: median %.0f ms (%s)"
              % (statistics.median(premieres), ", ".join("%.0f" % p for p in premieres)))
        n.attendre_vrai("%s._CorvellaTicks() > 1500" % JEU, 30, "the fade-in")
        i0, t0 = n.evaluer("[%s._CorvellaImages(), %s._CorvellaTicks()]" % (JEU, JEU))
        n.attendre_vrai("%s._CorvellaTicks() >= %d" % (JEU, t0 + 5000), 60, "5 s of the game")
        i1, t1 = n.evaluer("[%s._CorvellaImages(), %s._CorvellaTicks()]" % (JEU, JEU))
        print("page, headless Chromium, 800x600: %.1f frames/s (%d frames in %d ms; %d draw calls a frame)"
              % ((i1 - i0) * 1000 / (t1 - t0), i1 - i0, t1 - t0,
                 n.evaluer("Math.round(%s._CorvellaDessins() / %s._CorvellaImages())" % (JEU, JEU))))
    finally:
        n.fermer()
        serveur.fermer()
    bureau = subprocess.run([os.path.join(NATIF, "tests", "web", "corvella-cadence-bureau"), "5"], cwd=NATIF,
                            capture_output=True, text=True, timeout=120)
    print("desktop game, 800x600 window: " + bureau.stdout.strip())


if __name__ == "__main__":
    main()
