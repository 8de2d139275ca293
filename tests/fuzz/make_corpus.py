#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into corpus/<target>/ beside this script.

The seeds are small, realistic data files as users leave them after editing by hand. Run it again
after changing a seed here; the files it writes are committed.
"""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
SEP = b"\n--8<--\n"


def cp(text):
    return text.encode("cp1252")


# The documented two-job catalogue and its companions.
NAMES_TWO = cp("[SICHERUNG]\r\nname_2=Büro\r\nname_1=Fotos\r\n\r\n[NUMMER]\r\nwert=2")
FOTOS = cp("[Fotos]\r\nvon_0=/home/anna/Bilder\r\nnach=/media/usb/Sicherung\r\nwann=täglich\r\nzeit=18:30\r\naktiv=ja\r\n")
BUERO = cp("[Büro]\r\nvon_0=/home/anna/Dokumente\r\nvon_1=/home/anna/Briefe\r\nnach=/media/usb/Büro\r\n"
           "wann=Freitag\r\nzeit=07:05\r\naktiv=nein\r\n")
CATALOGUE_TWO = FOTOS + b"\r\n" + BUERO
SETTINGS = cp("[EINSTELLUNG]\r\npfad=\r\nstatus=0\r\nmethode=1\r\n\r\n[SOUNDANI]\r\nstatus=1\r\n")
LOG = cp("[05.12.2026 10:00:03]\r\nSicherung=gestartet\r\nName=Fotos\r\nVerlauf=ok\r\n\r\n"
         "[05.12.2026 10:02:41]\r\nSicherung=gelöscht\r\nName=Büro\r\nVerlauf=error\r\n")


# A name list longer than a short section, with a section per job.
MANY = 40
NAMES_MANY = cp("[SICHERUNG]\r\n" + "".join(f"name_{i}=Job {i}\r\n" for i in range(1, MANY + 1))
                + f"\r\n[NUMMER]\r\nwert={MANY}")
CATALOGUE_MANY = b"\r\n".join(cp(f"[Job {i}]\r\nvon_0=/q/{i}\r\nnach=/z\r\nwann=Montag\r\nzeit=10:{i % 60:02}\r\n"
                                   "aktiv=ja\r\n") for i in range(1, MANY + 1))


def catalogue(*files):
    return SEP.join(files)


CATALOGUE_SEEDS = {
    "two-jobs": catalogue(NAMES_TWO, CATALOGUE_TWO, SETTINGS, LOG),
    "gap-in-numbering": catalogue(cp("[SICHERUNG]\r\nname_1=Fotos\r\nname_3=Büro\r\n\r\n[NUMMER]\r\nwert=3\r\n"),
                                  CATALOGUE_TWO),
    "duplicates": catalogue(cp("[SICHERUNG]\r\nname_1=Fotos\r\nname_2=Fotos\r\nname_2=Büro\r\n\r\n[NUMMER]\r\nwert=2\r\n"
                               "[NUMMER]\r\nwert=7\r\n"),
                            FOTOS + b"\r\n" + FOTOS + cp("[Fotos]\r\nnach=/anders\r\n"), SETTINGS),
    "bare-lf": catalogue(NAMES_TWO.replace(b"\r\n", b"\n"), CATALOGUE_TWO.replace(b"\r\n", b"\n"),
                         SETTINGS.replace(b"\r\n", b"\n"), LOG.replace(b"\r\n", b"\n")),
    "long-lines": catalogue(cp("[SICHERUNG]\r\nname_1=" + "N" * 247 + "\r\nname_2=" + "M" * 248 + "\r\n\r\n[NUMMER]\r\nwert=2\r\n"),
                            cp("[" + "N" * 247 + "]\r\nvon_0=/" + "q" * 248 + "\r\nnach=/" + "z" * 249 + "\r\naktiv=ja\r\n"),
                            cp("[EINSTELLUNG]\r\npfad=/" + "p" * 248 + "\r\nstatus=1\r\n"),
                            cp("[05.12.2026 10:00:03]\r\nVerlauf=" + "v" * 300 + "\r\n")),
    "binary-bytes": catalogue(b"[SICHERUNG]\r\nname_1=Fo\x00tos\r\nname_2=\xff\xfe\r\rB\r\n\x00\r\n[NUMMER]\r\nwert=\x002\r\n",
                              b"[Fo]\r\nvon_0=/\x81\x8d\x8f\x90\x9d\r\nnach=\r\x00/x\r\naktiv=ja\r\r\n\x00[\xff\xfe\r\rB]\r\n",
                              b"\xef\xbb\xbf[EINSTELLUNG]\r\nstatus=1\x00\r\n",
                              b"\x00\x01\x02\r\n\r\r\n\n\n[\x7f]\r\n"),
    "empty-files": catalogue(b"", b"", b"", b""),
    "names-only": cp("[SICHERUNG]\r\nname_1=Fotos\r\n\r\n[NUMMER]\r\nwert=1"),
    "absurd-count": catalogue(cp("[SICHERUNG]\r\nname_1=Fotos\r\n\r\n[NUMMER]\r\nwert=99999999999\r\n"), FOTOS,
                              cp("[EINSTELLUNG]\r\nstatus=-2147483648\r\nmethode=01\r\n\r\n[SOUNDANI]\r\nstatus= 7\r\n")),
    "negative-count": catalogue(cp("[SICHERUNG]\r\nname_1=Fotos\r\n\r\n[NUMMER]\r\nwert=-5\r\n"), FOTOS),
    "names-under-wrong-head": catalogue(cp("[NUMMER]\r\nwert=2\r\nname_1=Fotos\r\nname_2=Büro\r\n"),
                                        cp("aktiv=ja\r\n[Fotos\r\nFotos]\r\n[]\r\n[Büro]\r\n[Büro]\r\nwann=Montag\r\n")),
    "forty-jobs": catalogue(NAMES_MANY, CATALOGUE_MANY),
    "hand-edited-log": catalogue(NAMES_TWO, CATALOGUE_TWO, SETTINGS,
                                 cp("Notiz ohne Kopf\r\nSicherung=gestartet\r\n[kein Datum]\r\nName=\r\n\r\n\r\n") + LOG),
}


def script(*steps, missing=False):
    """Steps as (letter, text, ...); texts are bytes or str (Windows-1252), each ended by a NUL."""
    out = b"-" if missing else b""
    for letter, *texts in steps:
        out += letter.encode()
        for text in texts:
            out += (cp(text) if isinstance(text, str) else text) + b"\0"
    return out


def ini(file_bytes, *steps, missing=False):
    return file_bytes + SEP + script(*steps, missing=missing)


def xs(n):
    """n times "x" as the script's repeat escape."""
    return b"\x02" + bytes([n])


INI_SEEDS = {
    "two-jobs-save": ini(CATALOGUE_TWO, ("r", "[Fotos]", "nach="), ("w", "[Büro]", "zeit=08:00"), ("c",),
                         ("n", "[Fotos]", "[Bilder]"), ("d", "[Büro]", "von_1="), ("d", "[Büro]", "von_2="),
                         ("w", "[Neu]", "aktiv=nein"), ("s", "[Neu]"), ("c",)),
    "delete-job": ini(CATALOGUE_TWO, ("d", "[Fotos]", "von_0="), ("d", "[Fotos]", "von_1="), ("d", "[Fotos]", "nach="),
                      ("d", "[Fotos]", "zeit="), ("d", "[Fotos]", "wann="), ("d", "[Fotos]", "aktiv="),
                      ("p", "[Fotos]"), ("h", "[Fotos]"), ("p", "[Büro]"), ("c",)),
    "renumber-names": ini(cp("[SICHERUNG]\r\nname_1=A\r\nname_3=C\r\nname_2=B\r\n\r\n[NUMMER]\r\nwert=3"),
                          ("w", "[NUMMER]", "wert=2"), ("d", "[SICHERUNG]", "name_1="), ("r", "[SICHERUNG]", "name_2="),
                          ("w", "[SICHERUNG]", "name_1=B"), ("r", "[SICHERUNG]", "name_3="),
                          ("w", "[SICHERUNG]", "name_2=C"), ("d", "[SICHERUNG]", "name_3="), ("c",)),
    "settings-limits": ini(SETTINGS, ("w", "[EINSTELLUNG]", b"pfad=/" + xs(248)),
                           ("w", "[EINSTELLUNG]", b"pfad=/" + xs(249)), ("w", "[EINSTELLUNG]", "pfad=/a\r\n[x]"),
                           ("w", "[EIN\nSTELLUNG]", "status=1"), ("r", "[EINSTELLUNG]", "pfad="),
                           ("w", "[EINSTELLUNG]", "pfad="), ("c",)),
    "bare-lf": ini(CATALOGUE_TWO.replace(b"\r\n", b"\n"), ("w", "[Fotos]", "zeit=19:00"), ("p", "[Büro]"),
                   ("h", "[Büro]"), ("r", "[Fotos]", "zeit=")),
    "long-lines": ini(cp("[A]\r\nk=" + "a" * 252 + "\r\nl=" + "b" * 253 + "\r\n[B]\r\n" + "c" * 600 + "\r\n"),
                      ("r", "[A]", "k="), ("r", "[A]", "l="), ("w", "[A]", b"k=" + xs(252)), ("w", "[B]", b"m=" + xs(253)),
                      ("r", b"\x01\x04", b"\x01\x05"), ("n", "[B]", b"[" + xs(252) + b"]"),
                      ("n", "[B]", b"[" + xs(253) + b"]")),
    "binary-bytes": ini(b"[A]\r\nk=\x00v\r\n\r\r\n[\xff]\r\nk=\x81\x8d\r\rx\r\n\x00\x00\r\n",
                        ("r", "[A]", "k="), ("r", b"[\xff]", "k="), ("w", b"[\xff]", b"k=\x03\x01\x03\x02"),
                        ("w", "[A]", "k=\r"), ("d", b"\x01\x03", "k="), ("c",)),
    "empty-file": ini(b"", ("d", "[A]", "k="), ("w", "[A]", "k=1"), ("w", "", "x=y"), ("p", "[A]"), ("c",)),
    "missing-file": ini(b"", ("r", "[A]", "k="), ("s", "[A]"), ("c",), ("w", "[A]", "k=1"), ("h", "[A]"),
                        missing=True),
    "duplicate-sections": ini(cp("[A]\r\nk=1\r\n\r\n[A]\r\nk=2\r\nk=3\r\n\r\n[B]\r\n"), ("n", "[A]", "[B]"),
                              ("r", "[B]", "k="), ("d", "[B]", "k="), ("r", "[B]", "k="), ("h", "[B]"), ("s", "[B]"),
                              ("p", "[B]")),
    "log-trim": ini(LOG, ("d", "[05.12.2026 10:00:03]", "Sicherung="), ("d", "[05.12.2026 10:00:03]", "Name="),
                    ("d", "[05.12.2026 10:00:03]", "Verlauf="), ("d", "[05.12.2026 10:00:03]", ""),
                    ("h", "[05.12.2026 10:00:03]"), ("c",)),
    "long-name-list": ini(NAMES_MANY, ("r", "[SICHERUNG]", "name_1="), ("r", "[SICHERUNG]", "name_40="),
                          ("r", "[SICHERUNG]", "name_41="), ("w", "[SICHERUNG]", "name_5=Neu"),
                          ("r", "[SICHERUNG]", "name_5="), ("r", "[SICHERUNG]", "name_6="), ("d", "[SICHERUNG]", "name_3="),
                          ("r", "[SICHERUNG]", "name_3="), ("r", "[SICHERUNG]", "name_4="), ("s", "[NUMMER]"),
                          ("r", "[NUMMER]", "wert="), ("n", "[SICHERUNG]", "[NAMEN]"), ("r", "[NAMEN]", "name_7="),
                          ("r", "[NAMEN]", "name_8="), ("c",)),
    "empty-lines-first": ini(b"\r\n\r\n[A]\r\nk=1", ("r", "[A]", "k="), ("w", "[A]", "k=2"), ("n", "", "[Z]"),
                             ("w", "[A]", "[B]=1"), ("p", "[A]")),
}


def write(target, seeds):
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.iterdir():
        old.unlink()
    for name, data in seeds.items():
        (folder / name).write_bytes(data)


write("catalogue", CATALOGUE_SEEDS)
write("inifile", INI_SEEDS)
