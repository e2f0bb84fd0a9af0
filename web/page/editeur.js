"use strict";
// The level editor's page: the desktop editor (corvella-editeur.js) on a
// canvas, the designer's levels kept in the browser's IndexedDB through
// emscripten's IDBFS (mounted at /stock), the list of levels, files in and
// out, and the level shared as a link of the game's page.

const $ = (id) => document.getElementById(id);
const STOCK = "/stock";
const DOSSIER = STOCK + "/niveaux";
const NIVEAU_LIVRE = "/Data/Maps/Map1.map";

const Edition = {
  module: null,
  nom: null,            // the level being edited
  stockage: true,       // false: IndexedDB refused, the work is kept in memory only
  erreurs: [],
  sorties: [],          // what the editor printed, for the tests
  apres: null,          // what to do once the editor has ended (another level)
  enregistrements: 0,   // saves written to IndexedDB
  premiereImage: null,  // ms from the page's load to the editor's first frame
  taille: null,         // the editor's window size last asked for
  fini: false,          // the editor has ended
};

function avis(texte) {
  $("avis").textContent = texte;
  clearTimeout(avis.minuterie);
  if (texte) avis.minuterie = setTimeout(() => { $("avis").textContent = ""; }, 10000);
}

const chemin = (nom) => DOSSIER + "/" + nom + ".map";

// A name a file may have: letters, digits, spaces, dashes and underscores.
function nomPropre(texte) {
  const nom = String(texte || "").replace(/\.map$/i, "").replace(/[^A-Za-z0-9 _-]+/g, " ").trim().slice(0, 40);
  return nom || null;
}

function niveaux() {
  const FS = Edition.module.FS;
  return FS.readdir(DOSSIER).filter((f) => f.endsWith(".map")).map((f) => f.slice(0, -4)).sort();
}

function existe(nom) {
  return Edition.module.FS.analyzePath(chemin(nom)).exists;
}

function nomLibre(base) {
  let nom = nomPropre(base) || "level";
  for (let i = 2; existe(nom); ++i) nom = (nomPropre(base) || "level") + " " + i;
  return nom;
}

// The storage written back to IndexedDB; refused, the work stays in memory.
function synchroniser() {
  return new Promise((fini) => {
    if (!Edition.stockage) return fini(false);
    Edition.module.FS.syncfs(false, (erreur) => {
      if (erreur) refus(erreur);
      else ++Edition.enregistrements;
      fini(!erreur);
    });
  });
}

function refus(erreur) {
  Edition.stockage = false;
  const texte = "This browser refused to keep the levels (" + (erreur && (erreur.message || erreur.name || erreur)) +
                "): your work is kept in this page only. Use Download to keep it.";
  $("stockage").textContent = "Storage refused: Download keeps your work.";
  avis(texte);
  console.warn(texte);
}

function montrerListe() {
  const liste = $("niveaux");
  liste.textContent = "";
  for (const nom of niveaux()) {
    const li = document.createElement("li");
    li.textContent = nom;
    li.title = "Edit “" + nom + "”";
    if (nom === Edition.nom) li.className = "courant";
    li.addEventListener("click", () => { if (nom !== Edition.nom) changerDeNiveau(nom); });
    liste.appendChild(li);
  }
}

// Another level: the editor is asked to quit as the window's close button
// asks it (it offers to save what is not), then the page opens the level.
function changerDeNiveau(nom) {
  Edition.apres = () => { location.href = "editeur.html?niveau=" + encodeURIComponent(nom); };
  Edition.module._CorvellaEditeurQuitter();
}

// The level as it is on screen: the bytes the editor would save now. Nothing
// is saved (the stored level and the unsaved mark stay as they are). When
// the editor does not run, the level as last saved.
function octetsDuNiveau() {
  const m = Edition.module;
  const p = m._CorvellaEditeurOctets();
  if (p) return m.HEAPU8.slice(p, p + m._CorvellaEditeurTailleOctets());
  const c = chemin(Edition.nom);
  if (!m.FS.analyzePath(c).exists) {
    avis("“" + Edition.nom + "” is not open in the editor and was never saved.");
    return null;
  }
  return m.FS.readFile(c);
}

function telecharger() {
  const octets = octetsDuNiveau();
  if (!octets) return;
  const a = document.createElement("a");
  a.href = URL.createObjectURL(new Blob([octets], { type: "application/octet-stream" }));
  a.download = Edition.nom + ".map";
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 60000);
}

async function partager() {
  const octets = octetsDuNiveau();
  if (!octets) return;
  let code;
  try {
    code = await Lien.versCode(octets);
  } catch (e) {
    avis(e.message);
    return;
  }
  const lien = new URL("index.html#niveau=" + code, location.href).href;
  const champ = $("partage");
  champ.value = lien;
  champ.hidden = false;
  champ.select();
  try {
    await navigator.clipboard.writeText(lien);
    avis("The link is copied: it plays “" + Edition.nom + "” as it is now.");
  } catch (e) {
    avis("The link is below (the browser did not let the page copy it).");
  }
}

async function ouvrirFichier(fichier) {
  if (fichier.size > Lien.TAILLE_NIVEAU_MAX) {
    avis("“" + fichier.name + "” is too large for a level (at most " + Lien.TAILLE_NIVEAU_MAX / 1048576 + " MB).");
    return;
  }
  const nom = nomLibre(fichier.name);
  Edition.module.FS.writeFile(chemin(nom), new Uint8Array(await fichier.arrayBuffer()));
  await synchroniser();
  changerDeNiveau(nom);
}

async function nouveau() {
  const nom = nomPropre(prompt("The new level's name:", nomLibre("level")));
  if (!nom) return;
  if (existe(nom)) { avis("A level is already called “" + nom + "”."); return; }
  // No file yet: the editor starts a new level, written there at the first save.
  changerDeNiveau(nom);
}

async function renommer() {
  const ancien = Edition.nom;
  const nom = nomPropre(prompt("Rename “" + ancien + "” to:", ancien));
  if (!nom || nom === ancien) return;
  if (existe(nom)) { avis("A level is already called “" + nom + "”."); return; }
  // Saved first if the designer wants (the editor asks), then moved with its autosave.
  Edition.apres = async () => {
    const FS = Edition.module.FS;
    for (const suffixe of ["", ".autosave", "~"])
      if (FS.analyzePath(chemin(ancien) + suffixe).exists) FS.rename(chemin(ancien) + suffixe, chemin(nom) + suffixe);
    await synchroniser();
    location.href = "editeur.html?niveau=" + encodeURIComponent(nom);
  };
  Edition.module._CorvellaEditeurQuitter();
}

async function supprimer() {
  const nom = Edition.nom;
  if (!confirm("Delete the level “" + nom + "” from this browser? This cannot be undone.")) return;
  // Deleted: nothing of it to save; the page leaves the running editor.
  Edition.apres = () => {};
  const FS = Edition.module.FS;
  for (const suffixe of ["", ".autosave", "~"])
    if (FS.analyzePath(chemin(nom) + suffixe).exists) FS.unlink(chemin(nom) + suffixe);
  await synchroniser();
  const reste = niveaux();
  location.href = "editeur.html" + (reste.length ? "?niveau=" + encodeURIComponent(reste[0]) : "");
}

// The level the page opens: a link's (#niveau=CODE, from the game's page), the
// one named in the address, or the first of the list; the shipped level when
// the list is empty.
async function niveauAOuvrir() {
  const FS = Edition.module.FS;
  const m = /^#niveau=(.*)$/.exec(location.hash);
  if (m) {
    try {
      const octets = await Lien.depuisCode(m[1]);
      const nom = nomLibre("from a link");
      FS.writeFile(chemin(nom), octets);
      history.replaceState(null, "", "editeur.html?niveau=" + encodeURIComponent(nom));
      return nom;
    } catch (e) {
      avis(e.message);
    }
  }
  const demande = nomPropre(new URLSearchParams(location.search).get("niveau"));
  if (demande) return demande;
  const liste = niveaux();
  if (liste.length) return liste[0];
  FS.writeFile(chemin("Map1"), FS.readFile(NIVEAU_LIVRE));
  return "Map1";
}

const TOUCHES_DE_L_EDITEUR = new Set(["ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", " ", "Tab",
                                      "Backspace", "PageUp", "PageDown", "Home", "End"]);

// The editor's keys are not the browser's: F5 plays, ctrl + s saves, etc.
function clavier(e) {
  if (e.target instanceof HTMLInputElement) return;
  if (/^F\d+$/.test(e.key) || e.ctrlKey || e.metaKey || TOUCHES_DE_L_EDITEUR.has(e.key)) e.preventDefault();
}

// The editor's window follows the room the page gives it, as a desktop
// window resized by its frame: the editor lays its panels out again.
function ajuster() {
  const zone = $("editeur");
  const largeur = Math.max(320, zone.clientWidth), hauteur = Math.max(240, zone.clientHeight);
  if (Edition.taille && Edition.taille[0] === largeur && Edition.taille[1] === hauteur) return;
  Edition.taille = [largeur, hauteur];
  Edition.module._CorvellaEditeurTaille(largeur, hauteur);
}

function demarrer() {
  const zone = $("editeur");
  const canvas = document.createElement("canvas");
  canvas.width = Math.max(640, zone.clientWidth);
  canvas.height = Math.max(480, zone.clientHeight);
  canvas.tabIndex = -1;
  canvas.addEventListener("webglcontextlost", (e) => e.preventDefault());
  canvas.addEventListener("mousedown", () => canvas.focus());
  zone.appendChild(canvas);
  for (const type of ["keydown", "keyup", "keypress"]) document.addEventListener(type, clavier, true);

  CorvellaEditeur({
    canvas,
    noInitialRun: true,
    // The game's data, the same bytes: downloaded once for both pages.
    locateFile: (f, dossier) => dossier + (f === "corvella-editeur.data" ? "corvella.data" : f),
    print(t) {
      console.log(t);
      Edition.sorties.push(t);
      if (t.startsWith("saved ")) synchroniser().then((ok) => { if (ok) montrerListe(); });
      // The autosave kept at once, not at the next of the page's rounds.
      else if (t.startsWith("autosaved ")) synchroniser();
      // Test play had the window to itself (the game follows a resize too):
      // the editor is told the page's size again.
      else if (t === "back to the editor" && Edition.taille) { Edition.taille = null; ajuster(); }
    },
    printErr: (t) => console.warn(t),
    setStatus: () => {},
    preRun: [(module) => {
      const FS = module.FS;
      // The editor's own files (the window's size) beside the levels.
      module.ENV.HOME = STOCK;
      FS.mkdir(STOCK);
      try {
        FS.mount(FS.filesystems.IDBFS, {}, STOCK);
      } catch (e) {
        refus(e);
        return;
      }
      module.addRunDependency("stockage");
      FS.syncfs(true, (erreur) => {
        if (erreur) refus(erreur);
        module.removeRunDependency("stockage");
      });
    }],
    // The editor's analyses (its AnalyseVivante objects: the live check, the
    // clear check, the route to a cell), each a Web Worker of its own, known
    // by the object's address; one text at a time, the last asked waiting
    // while it works. A software WebGL draws on the processor's cores too:
    // the workers leave one to the drawing and take turns, the analyses the
    // editor made first going first; the first of all, the live check, never
    // waits for the others.
    analyses: {},
    analyseRang: 0,
    analyseCoeurs: Math.max(1, (navigator.hardwareConcurrency || 2) - 1),
    analyseSuivante() {
      const toutes = Object.values(this.analyses);
      let libres = this.analyseCoeurs - toutes.filter((a) => a.occupe).length;
      const premier = Math.min(...toutes.map((a) => a.rang));
      for (const a of toutes.filter((a) => !a.occupe && a.suivant).sort((x, y) => x.rang - y.rang)) {
        if (libres-- <= 0 && a.rang !== premier) break;
        const d = a.suivant;
        a.suivant = null;
        a.occupe = true;
        a.travailleur.postMessage(d, [d.texte.buffer]);
      }
    },
    analyseDemarrer(cle) {
      const m = this;
      const a = { travailleur: new Worker("analyse.js"), rang: m.analyseRang++, occupe: false, suivant: null,
        resultat: null, erreur: null };
      a.travailleur.onmessage = (e) => {
        a.resultat = e.data;
        a.occupe = false;
        m.analyseSuivante();
      };
      a.travailleur.onerror = (e) => {
        a.erreur = e.message || "the worker stopped";
        a.occupe = false;
        m.analyseSuivante();
      };
      a.demander = (numero, texte, o) => {
        a.suivant = { numero, texte, o };
        m.analyseSuivante();
      };
      m.analyses[cle] = a;
    },
    analyseDemander(cle, numero, texte, o) {
      const a = this.analyses[cle];
      if (!a) return 0;
      a.demander(numero, texte, o);
      return 1;
    },
    analyseResultat(cle) { const a = this.analyses[cle]; return a && a.resultat; },
    analyseErreur(cle) { const a = this.analyses[cle]; return a && a.erreur; },
    analyseArreter(cle) {
      const a = this.analyses[cle];
      if (a) a.travailleur.terminate();
      delete this.analyses[cle];
      this.analyseSuivante();
    },
    analyseRelancer(cle) {
      const rang = this.analyses[cle] ? this.analyses[cle].rang : undefined;
      this.analyseArreter(cle);
      this.analyseDemarrer(cle);
      if (rang !== undefined) this.analyses[cle].rang = rang;
    },
    // The designer chose to stay when the editor asked about the unsaved
    // changes: the level asked for is forgotten.
    quitterAnnule() {
      if (!Edition.apres) return;
      Edition.apres = null;
      // An opened file stays in the list, for later.
      montrerListe();
      avis("Still on “" + Edition.nom + "”: the other level was not opened.");
    },
    finEdition() {
      // The designer saved or let go of the changes when the editor asked.
      Edition.fini = true;
      synchroniser().then(() => {
        if (Edition.apres) Edition.apres();
        else location.reload();
      });
    },
    onAbort(raison) { avis("The editor stopped: " + raison); },
  }).then(async (module) => {
    Edition.module = module;
    const FS = module.FS;
    if (!FS.analyzePath(DOSSIER).exists) FS.mkdir(DOSSIER);
    Edition.nom = await niveauAOuvrir();
    document.title = "Corvella editor - " + Edition.nom;
    montrerListe();
    $("chargement").hidden = true;
    // The editor's autosaves are written beside the level: kept every few seconds.
    setInterval(synchroniser, 5000);
    module.callMain([chemin(Edition.nom)]);
    // The editor's main gives the browser its first turn after its first frame.
    Edition.premiereImage = performance.now();
    // From now on the editor's window is the page's room for it.
    new ResizeObserver(ajuster).observe(zone);
    window.dispatchEvent(new CustomEvent("corvella-editeur-lance"));
  });
}

window.addEventListener("error", (e) => Edition.erreurs.push(String(e.message)));
window.addEventListener("unhandledrejection", (e) => Edition.erreurs.push(String(e.reason)));
window.addEventListener("beforeunload", (e) => {
  if (document.title.endsWith(" *") && !Edition.apres && !Edition.fini) { e.preventDefault(); e.returnValue = ""; }
});
$("nouveau").addEventListener("click", nouveau);
$("renommer").addEventListener("click", renommer);
$("supprimer").addEventListener("click", supprimer);
$("ouvrir").addEventListener("click", () => $("fichier").click());
$("fichier").addEventListener("change", () => {
  const f = $("fichier").files[0];
  $("fichier").value = "";
  if (f) ouvrirFichier(f);
});
$("telecharger").addEventListener("click", telecharger);
$("partager").addEventListener("click", partager);
// The buttons keep no focus: the keys go on to the editor.
for (const b of document.querySelectorAll("#cote button")) b.addEventListener("mouseup", () => b.blur());
demarrer();
