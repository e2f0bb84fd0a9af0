"""Headless Chromium driven over the DevTools protocol, and the site served
on 127.0.0.1, for the page's tests and measurements. Every wait is for
something checked, within a bound."""
import base64
import itertools
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

import websocket  # Debian's python3-websocket

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "web"))
from servir import Serveur  # noqa: E402,F401

DRAPEAUX = ["--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--no-first-run", "--disable-quic", "--mute-audio", "--autoplay-policy=user-gesture-required",
            "--window-size=800,600", "--remote-debugging-port=0"]


class Navigateur:
    def __init__(self, taille=(800, 600), autres=()):
        self.profil = tempfile.mkdtemp(prefix="corvella-chromium-")
        drapeaux = [d if not d.startswith("--window-size") else "--window-size=%d,%d" % taille for d in DRAPEAUX]
        drapeaux += list(autres)
        self.processus = subprocess.Popen(
            [shutil.which("chromium") or "chromium", "--user-data-dir=" + self.profil] + drapeaux + ["about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        fichier = os.path.join(self.profil, "DevToolsActivePort")

        def lire_port():
            try:
                with open(fichier) as f:
                    mots = f.read().split()
                return int(mots[0]) if len(mots) >= 2 else None
            except OSError:
                return None
        port = self.attendre(lire_port, 30, "Chromium's DevTools port")
        cibles = self.attendre(lambda: self._pages(port), 30, "a page in Chromium")
        self.ws = websocket.create_connection(cibles[0]["webSocketDebuggerUrl"], timeout=60,
                                              suppress_origin=True)
        self.numeros = itertools.count(1)
        self.console = []   # (level, text)
        self.exceptions = []
        self.dialogues = []  # the page's dialogs as they opened: (type, message)
        self.partir = False  # a page's question before it is left is answered "leave"
        for domaine in ("Page", "Runtime", "Log"):
            self.commande(domaine + ".enable")
        # The page's view at the size asked, whatever the headless window's frame takes.
        self.commande("Emulation.setDeviceMetricsOverride", width=taille[0], height=taille[1],
                      deviceScaleFactor=1, mobile=False)

    @staticmethod
    def _pages(port):
        import urllib.request
        try:
            with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port, timeout=5) as r:
                pages = [c for c in json.load(r) if c.get("type") == "page"]
                return pages or None
        except OSError:
            return None

    @staticmethod
    def attendre(condition, borne, quoi):
        fin = time.monotonic() + borne
        while True:
            valeur = condition()
            if valeur:
                return valeur
            if time.monotonic() > fin:
                raise AssertionError("not within %d s: %s" % (borne, quoi))
            time.sleep(0.05)

    def _evenement(self, message):
        methode = message.get("method")
        p = message.get("params", {})
        if methode == "Runtime.consoleAPICalled":
            texte = " ".join(str(a.get("value", a.get("description", ""))) for a in p.get("args", []))
            self.console.append((p.get("type"), texte))
        elif methode == "Runtime.exceptionThrown":
            d = p.get("exceptionDetails", {})
            self.exceptions.append(d.get("exception", {}).get("description") or d.get("text"))
        elif methode == "Page.javascriptDialogOpening":
            self.dialogues.append((p.get("type"), p.get("message")))
            if self.partir and p.get("type") == "beforeunload":
                # Leaving the page for another, as the test asked: the page's
                # question is answered at once (its answer is not awaited).
                self.ws.send(json.dumps({"id": next(self.numeros), "method": "Page.handleJavaScriptDialog",
                                         "params": {"accept": True}}))
        elif methode == "Log.entryAdded":
            e = p.get("entry", {})
            self.console.append((e.get("level"), e.get("text")))

    def commande(self, methode, **parametres):
        numero = next(self.numeros)
        self.ws.send(json.dumps({"id": numero, "method": methode, "params": parametres}))
        while True:
            message = json.loads(self.ws.recv())
            if message.get("id") == numero:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (methode, message["error"]))
                return message.get("result", {})
            self._evenement(message)

    def evaluer(self, expression, attendre_promesse=True, geste=False):
        """The value of a JavaScript expression; `geste`: run as if the user had
        acted (which lets the page play sound or go full screen)."""
        r = self.commande("Runtime.evaluate", expression=expression, awaitPromise=attendre_promesse,
                          returnByValue=True, userGesture=geste)
        if "exceptionDetails" in r:
            raise RuntimeError("%s: %s" % (expression, r["exceptionDetails"]))
        return r.get("result", {}).get("value")

    def attendre_vrai(self, expression, borne, quoi=None):
        return self.attendre(lambda: self.evaluer(expression), borne, quoi or expression)

    def aller(self, adresse):
        """Goes to a page. A page with unsaved work asks before it is left
        (a test that failed may have left one so): it is left."""
        self.partir = True
        try:
            self.commande("Page.navigate", url=adresse)
        finally:
            self.partir = False

    def touche(self, type_, code, touche, vk):
        self.commande("Input.dispatchKeyEvent", type=type_, key=touche, code=code,
                      windowsVirtualKeyCode=vk, nativeVirtualKeyCode=vk)

    def capture(self):
        """PNG bytes of the page as it shows."""
        return base64.b64decode(self.commande("Page.captureScreenshot", format="png")["data"])

    def fermer(self):
        try:
            self.ws.close()
        except Exception:
            pass
        self.processus.terminate()
        try:
            self.processus.wait(10)
        except subprocess.TimeoutExpired:
            self.processus.kill()
        shutil.rmtree(self.profil, ignore_errors=True)


# DOM key names, codes and virtual key codes of the keys the tests press.
TOUCHES = {
    "droite": ("ArrowRight", "ArrowRight", 39),
    "gauche": ("ArrowLeft", "ArrowLeft", 37),
    "haut": ("ArrowUp", "ArrowUp", 38),
    "p": ("KeyP", "p", 80),
    "echap": ("Escape", "Escape", 27),
    "m": ("KeyM", "m", 77),
    "f11": ("F11", "F11", 122),
}
