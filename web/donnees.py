#!/usr/bin/env python3
"""Lays out the game's data for the page: the images with their PNG data
compressed again (the same pixels: the generator stores them uncompressed),
the sound effects, the level, and the music as Ogg Vorbis beside a stand-in
WAV header (see sdl/Melangeur.cpp).

    donnees.py BUILD OUT

BUILD is the desktop build (its Images/, Sons/ and the level), OUT the
folder made."""
import os
import shutil
import struct
import subprocess
import sys
import zlib


def recompresse_png(source, cible):
    with open(source, "rb") as f:
        octets = f.read()
    if octets[:8] != b"\x89PNG\r\n\x1a\n":
        shutil.copyfile(source, cible)
        return
    morceaux, idat, p = [], b"", 8
    while p + 8 <= len(octets):
        longueur, genre = struct.unpack(">I4s", octets[p:p + 8])
        donnees = octets[p + 8:p + 8 + longueur]
        p += 12 + longueur
        if genre == b"IDAT":
            idat += donnees
            if not any(g == b"IDAT" for g, _ in morceaux):
                morceaux.append((b"IDAT", None))
        else:
            morceaux.append((genre, donnees))
        if genre == b"IEND":
            break
    brut = zlib.decompress(idat)
    compresse = zlib.compress(brut, 9)
    with open(cible, "wb") as f:
        f.write(octets[:8])
        for genre, donnees in morceaux:
            if genre == b"IDAT":
                donnees = compresse
            f.write(struct.pack(">I", len(donnees)) + genre + donnees)
            f.write(struct.pack(">I", zlib.crc32(genre + donnees) & 0xFFFFFFFF))


def main():
    construction, sortie = sys.argv[1], sys.argv[2]
    racine = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    if os.path.isdir(sortie):
        shutil.rmtree(sortie)
    for dossier, _, fichiers in os.walk(os.path.join(construction, "Images")):
        relatif = os.path.relpath(dossier, construction)
        os.makedirs(os.path.join(sortie, relatif), exist_ok=True)
        for nom in fichiers:
            if nom == ".genere":
                continue
            source = os.path.join(dossier, nom)
            cible = os.path.join(sortie, relatif, nom)
            if nom.lower().endswith(".png"):
                recompresse_png(source, cible)
            else:
                shutil.copyfile(source, cible)
    os.makedirs(os.path.join(sortie, "Sons"))
    for nom in sorted(os.listdir(os.path.join(construction, "Sons"))):
        source = os.path.join(construction, "Sons", nom)
        if nom == "musique.wav":
            subprocess.run(["oggenc", "-Q", "-q", "2", "-o", os.path.join(sortie, "Sons", "musique.ogg"), source],
                           check=True)
            # The game checks the music's WAV file before it hands it to the
            # mixer: the header of the real file with one silent frame (the
            # page's mixer plays musique.ogg in its place).
            with open(source, "rb") as f:
                entete = f.read(44)
            trame = struct.unpack("<H", entete[32:34])[0]
            with open(os.path.join(sortie, "Sons", nom), "wb") as f:
                f.write(entete[:4] + struct.pack("<I", 36 + trame) + entete[8:40] + struct.pack("<I", trame) +
                        bytes(trame))
        elif nom.endswith(".wav"):
            shutil.copyfile(source, os.path.join(sortie, "Sons", nom))
    os.makedirs(os.path.join(sortie, "Data", "Maps"))
    shutil.copyfile(os.path.join(racine, "Data", "Maps", "Map1.map"), os.path.join(sortie, "Data", "Maps", "Map1.map"))
    open(os.path.join(sortie, ".prepare"), "w").close()


if __name__ == "__main__":
    main()
