// The page around the game: the data downloaded once with a progress bar,
// one run of the game at a time on a fresh canvas, levels from a file, a
// drop or the address, full screen, the end of a game and another one.
"use strict";

const $ = (id) => document.getElementById(id);
const FICHIER_NIVEAU = "/Data/Maps/Map1.map";
// ?figee=TIME: one frame under a frozen clock, for the picture test.
const FIGEE = new URLSearchParams(location.search).get("figee");
// ?lots: the drawing layer's batching check, for the page's tests.
const LOTS = new URLSearchParams(location.search).has("lots");

const Page = {
  paquet: null,       // the packaged data, downloaded once
  wasm: null,         // the program, compiled once (a promise)
  courant: null,      // the running game: { module, canvas, clavier, fini }
  niveau: null,       // bytes of the level played, null for the shipped one
  sonPermis: false,
  erreurs: [],
  touches: [],        // keys handed to the game, with the game's clock
};

function avis(texte) {
  $("avis").textContent = texte;
  clearTimeout(avis.minuterie);
  if (texte) avis.minuterie = setTimeout(() => { $("avis").textContent = ""; }, 8000);
}

function manque(texte) {
  $("chargement").hidden = true;
  $("manque").textContent = texte;
  $("manque").hidden = false;
}

function sansWebAssembly() {
  return typeof WebAssembly !== "object" || typeof WebAssembly.instantiate !== "function";
}

// What the browser lacks to play, or null.
function ceQuiManque() {
  if (sansWebAssembly())
    return "Corvella cannot start: this browser does not run WebAssembly.";
  const essai = document.createElement("canvas");
  if (!(essai.getContext("webgl2") || essai.getContext("webgl")))
    return "Corvella cannot start: this browser has no WebGL (it may be switched off, or the graphics driver refused).";
  return null;
}

async function telechargePaquet() {
  const reponse = await fetch("corvella.data");
  if (!reponse.ok) throw new Error("corvella.data: " + reponse.status);
  const total = Number(reponse.headers.get("Content-Length")) || 0;
  const lecteur = reponse.body.getReader();
  const morceaux = [];
  let recu = 0;
  for (;;) {
    const { done, value } = await lecteur.read();
    if (done) break;
    morceaux.push(value);
    recu += value.length;
    if (total) $("progression").value = recu / total;
    $("etat").textContent = "Loading… " + (recu / 1048576).toFixed(1) + " MB";
  }
  const octets = new Uint8Array(recu);
  let p = 0;
  for (const m of morceaux) { octets.set(m, p); p += m.length; }
  return octets.buffer;
}

// Key events go to the running game only: each run listens on an object of
// its own, which the page feeds. As with the DOM, a listener added twice
// (SDL adds its own at each SDL_Init) is called once.
function nouveauClavier() {
  const ecouteurs = {};
  return {
    addEventListener(type, f) {
      const liste = (ecouteurs[type] = ecouteurs[type] || []);
      if (!liste.includes(f)) liste.push(f);
    },
    removeEventListener(type, f) { ecouteurs[type] = (ecouteurs[type] || []).filter((g) => g !== f); },
    transmettre(e) { for (const f of ecouteurs[e.type] || []) f(e); },
  };
}

function lancer(niveau) {
  const ancien = Page.courant;
  if (ancien && !ancien.fini) {
    ancien.fini = true;
    try { ancien.module._CorvellaArreter(); } catch (e) { /* not started yet */ }
  }
  if (ancien) ancien.canvas.remove();
  Page.niveau = niveau;
  $("fin").hidden = true;
  lienEditeur(niveau);

  const canvas = document.createElement("canvas");
  canvas.width = 800;
  canvas.height = 600;
  canvas.tabIndex = -1;
  canvas.addEventListener("webglcontextlost", (e) => e.preventDefault());
  $("jeu").appendChild(canvas);
  const run = { module: null, canvas, clavier: nouveauClavier(), fini: false };
  Page.courant = run;

  CorvellaJeu({
    canvas,
    arguments: FIGEE ? ["--figee", FIGEE] : LOTS ? ["--lots"] : [],
    keyboardListeningElement: run.clavier,
    getPreloadedPackage: () => Page.paquet,
    // The program compiled once, while the data downloaded, for every run.
    instantiateWasm(importations, recevoir) {
      Page.wasm.then((m) => WebAssembly.instantiate(m, importations).then((i) => recevoir(i, m)))
        .catch((e) => avis("The game could not start: " + e));
      return {};
    },
    print: (t) => console.log(t),
    printErr: (t) => console.warn(t),
    setStatus: () => {},
    onRuntimeInitialized() {
      if (niveau) this.FS.writeFile(FICHIER_NIVEAU, niveau);
    },
    finDuJeu() {
      if (Page.courant !== run || run.fini) return;
      run.fini = true;
      if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
      $("fin").hidden = false;
      $("rejouer").focus();
    },
    onAbort(raison) {
      if (Page.courant === run) avis("The game stopped: " + raison);
    },
  }).then((m) => {
    run.module = m;
    // Replaced before it had started: it stops at once.
    if (run.fini) { m._CorvellaArreter(); return; }
    $("chargement").hidden = true;
    window.dispatchEvent(new CustomEvent("corvella-lance"));
  });
}

// A level's bytes from a file: played, unless too large.
// "Edit this level": the editor's page, given the level played as the game's
// link gives it (the shipped level is the editor's own first level).
function lienEditeur(niveau) {
  const lien = $("editer");
  if (!niveau) { lien.href = "editeur.html"; return; }
  Lien.versCode(niveau).then((code) => { if (Page.niveau === niveau) lien.href = "editeur.html#niveau=" + code; })
    .catch(() => { lien.href = "editeur.html"; });
}

async function jouerFichier(fichier) {
  if (fichier.size > Lien.TAILLE_NIVEAU_MAX) {
    avis("“" + fichier.name + "” is too large for a level (" + (fichier.size / 1048576).toFixed(1) +
         " MB; at most " + Lien.TAILLE_NIVEAU_MAX / 1048576 + " MB). The current level goes on.");
    return;
  }
  const octets = new Uint8Array(await fichier.arrayBuffer());
  avis("Playing “" + fichier.name + "”.");
  lancer(octets);
}

// The level of the address, if it names one; a code that does not decode is
// said, and the shipped level played.
async function niveauDeLAdresse() {
  const m = /^#niveau=(.*)$/.exec(location.hash);
  if (!m) return null;
  try {
    return await Lien.depuisCode(m[1]);
  } catch (e) {
    avis(e.message + " Playing the shipped level.");
    return null;
  }
}

function pleinEcran() {
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  else if (document.documentElement.requestFullscreen)
    document.documentElement.requestFullscreen().catch(() => avis("The browser refused full screen."));
}

// The browsers let a page play sound only after a key or a click in it.
function premierGeste() {
  const run = Page.courant;
  const son = run && run.module && run.module.corvellaSon;
  if (son) son.reprendre().catch(() => {});
  if (Page.sonPermis) return;
  Page.sonPermis = true;
  $("son").hidden = true;
}

// Gamepads: the browser's standard layout is handed to the game as the
// layout SDL's own driver gives (no hat, at least 15 buttons: 0 A / Cross,
// 6 Start / Options, 11 to 14 the d-pad), which the game's mapping knows.
// SDL's button i is the standard layout's button ORDRE_SDL[i]; the triggers
// follow. Pads without the standard layout reach the game as they are.
const ORDRE_SDL = [0, 1, 2, 3, 8, 16, 9, 10, 11, 4, 5, 12, 13, 14, 15, 6, 7];

function enDispositionSDL(pad) {
  if (!pad || pad.mapping !== "standard") return pad;
  const relache = { pressed: false, touched: false, value: 0 };
  return {
    id: pad.id, index: pad.index, connected: pad.connected, timestamp: pad.timestamp, mapping: "sdl",
    axes: pad.axes, buttons: ORDRE_SDL.map((i) => pad.buttons[i] || relache),
  };
}

if (navigator.getGamepads) {
  const getGamepads = navigator.getGamepads.bind(navigator);
  navigator.getGamepads = () => Array.from(getGamepads(), enDispositionSDL);
}

// Keys that scroll or leave the page belong to the game.
const TOUCHES_DU_JEU = new Set(["ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", " ", "Escape",
                                "PageUp", "PageDown", "Home", "End"]);

function clavier(e) {
  if (e.type === "keydown") premierGeste();
  if (e.type === "keydown" && (e.key === "F11" || (e.key === "Enter" && e.altKey))) {
    e.preventDefault();
    pleinEcran();
  }
  if (TOUCHES_DU_JEU.has(e.key)) e.preventDefault();
  const run = Page.courant;
  if (run && !run.fini && $("fin").hidden) {
    run.clavier.transmettre(e);
    // When the game got it, by its own clock (read by the tests).
    if (run.module) Page.touches.push({ type: e.type, code: e.code, tics: run.module._CorvellaTicks() });
  }
}

function compileProgramme() {
  if (WebAssembly.compileStreaming)
    return WebAssembly.compileStreaming(fetch("corvella.wasm"));
  return fetch("corvella.wasm").then((r) => r.arrayBuffer()).then((o) => WebAssembly.compile(o));
}

async function demarrer() {
  // The downloads and the compilation go on while the page looks for WebGL.
  const paquet = telechargePaquet();
  paquet.catch(() => {});
  if (!sansWebAssembly()) {
    Page.wasm = compileProgramme();
    Page.wasm.catch(() => {});
  }
  const absent = ceQuiManque();
  if (absent) { manque(absent); return; }
  for (const t of ["keydown", "keyup", "keypress"]) window.addEventListener(t, clavier, true);
  window.addEventListener("pointerdown", premierGeste, true);
  $("plein").addEventListener("click", pleinEcran);
  $("ouvrir").addEventListener("click", () => $("fichier").click());
  $("fichier").addEventListener("change", () => {
    const f = $("fichier").files[0];
    $("fichier").value = "";
    if (f) jouerFichier(f);
  });
  $("rejouer").addEventListener("click", () => lancer(Page.niveau));
  window.addEventListener("dragover", (e) => { e.preventDefault(); $("depot").hidden = false; });
  window.addEventListener("dragleave", (e) => { if (!e.relatedTarget) $("depot").hidden = true; });
  window.addEventListener("drop", (e) => {
    e.preventDefault();
    $("depot").hidden = true;
    const f = e.dataTransfer && e.dataTransfer.files[0];
    if (f) jouerFichier(f);
  });
  window.addEventListener("hashchange", async () => {
    const niveau = await niveauDeLAdresse();
    if (niveau) lancer(niveau);
  });
  try {
    Page.paquet = await paquet;
    await Page.wasm;
  } catch (e) {
    manque("Corvella could not download its data (" + e.message + ").");
    return;
  }
  $("etat").textContent = "Starting…";
  lancer(await niveauDeLAdresse());
}

window.addEventListener("error", (e) => Page.erreurs.push(String(e.message)));
window.addEventListener("unhandledrejection", (e) => Page.erreurs.push(String(e.reason)));
demarrer();
