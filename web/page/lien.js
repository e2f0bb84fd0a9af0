// Levels in links: index.html#niveau=CODE, where CODE is the level file's
// bytes compressed with raw DEFLATE (RFC 1951) in base64url without padding
// (RFC 4648, section 5). The same limits as corvella-carte lien (lien/Lien.h).
"use strict";

const Lien = (() => {
  const TAILLE_NIVEAU_MAX = 1 << 20;     // bytes of a level file
  const LONGUEUR_CODE_MAX = 200000;      // characters of a code

  function enBase64url(octets) {
    let binaire = "";
    for (let i = 0; i < octets.length; i += 0x8000)
      binaire += String.fromCharCode.apply(null, octets.subarray(i, i + 0x8000));
    return btoa(binaire).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
  }

  function depuisBase64url(code) {
    if (code.length > LONGUEUR_CODE_MAX)
      throw new Error("The link is too long (more than " + LONGUEUR_CODE_MAX + " characters).");
    if (!/^[A-Za-z0-9_-]*$/.test(code) || code.length % 4 === 1)
      throw new Error("The link's code is not base64url.");
    const b64 = code.replace(/-/g, "+").replace(/_/g, "/") + "===".slice((code.length + 3) % 4);
    let binaire;
    try { binaire = atob(b64); } catch (e) { throw new Error("The link's code is not base64url."); }
    const octets = new Uint8Array(binaire.length);
    for (let i = 0; i < binaire.length; ++i) octets[i] = binaire.charCodeAt(i);
    return octets;
  }

  // All of a stream's bytes, refused beyond `max`.
  async function lireTout(flux, max, message) {
    const lecteur = flux.getReader();
    const morceaux = [];
    let total = 0;
    for (;;) {
      const { done, value } = await lecteur.read();
      if (done) break;
      total += value.length;
      if (total > max) { lecteur.cancel().catch(() => {}); throw new Error(message); }
      morceaux.push(value);
    }
    const r = new Uint8Array(total);
    let p = 0;
    for (const m of morceaux) { r.set(m, p); p += m.length; }
    return r;
  }

  async function versCode(octets) {
    const flux = new Blob([octets]).stream().pipeThrough(new CompressionStream("deflate-raw"));
    return enBase64url(await lireTout(flux, Infinity, ""));
  }

  async function depuisCode(code) {
    const compresse = depuisBase64url(code);
    const flux = new Blob([compresse]).stream().pipeThrough(new DecompressionStream("deflate-raw"));
    try {
      return await lireTout(flux, TAILLE_NIVEAU_MAX, "The link's level is too large.");
    } catch (e) {
      if (e.message === "The link's level is too large.") throw e;
      throw new Error("The link's code does not inflate to a level.");
    }
  }

  return { versCode, depuisCode, TAILLE_NIVEAU_MAX, LONGUEUR_CODE_MAX };
})();
