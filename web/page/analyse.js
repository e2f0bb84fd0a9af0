"use strict";
// The editor's live check in a Web Worker: a second WebAssembly instance of
// the analysis (corvella-analyse.js), given a level's text, answers with the
// report's bytes. The editor's frames go on meanwhile. The page starts one
// worker for each analysis the editor runs (live check, clear check, route).
importScripts("corvella-analyse.js");

let analyse = null;
const enAttente = [];

function traiter({ numero, texte, o }) {
  const p = analyse._malloc(texte.length || 1);
  analyse.HEAPU8.set(texte, p);
  const r = analyse._CorvellaAnalyser(p, texte.length, o.atteignabilite, o.etatsMax, o.secondesMax,
    o.route, o.colonne, o.ligne);
  analyse._free(p);
  const rapport = analyse.HEAPU8.slice(r, r + analyse._CorvellaLongueurRapport());
  postMessage({ numero, rapport }, [rapport.buffer]);
}

CorvellaAnalyse({ print: () => {}, printErr: (t) => console.warn(t) }).then((m) => {
  analyse = m;
  for (const d of enAttente.splice(0)) traiter(d);
});

onmessage = (e) => { if (analyse) traiter(e.data); else enAttente.push(e.data); };
