"""Writes a Bramblegate settings file from its documented layout, without any of the program's code:
the SQLite tables meta/keys/vals, values as NUL-terminated UTF-8 text of kind 1, and secrets in the
printable encrypted form (RC4 keyed with the first 5 bytes of the pass phrase's MD5 digest and 11
zero bytes, cipher bytes read as Windows-1252 characters, bytes 0-31 written as <CHRn>).

Command line (for the smoke test): settings_writer.py FILE USER MASTER CAPTION URL NAME PASSWORD [OPTION]
writes one user with one Link.
"""

import hashlib
import os
import re
import sqlite3
import sys

# Windows-1252's 0x80-0x9F; its five unassigned bytes stand for the C1 controls of the same number.
_HIGH = [0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
         0x0152, 0x8D, 0x017D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178]
_TO_CHAR = [chr(_HIGH[b - 0x80]) if 0x80 <= b <= 0x9F else chr(b) for b in range(256)]
_TO_BYTE = {c: b for b, c in enumerate(_TO_CHAR)}


def to_bytes(text):
    try:
        return bytes(_TO_BYTE[c] for c in text)
    except KeyError as e:
        raise ValueError(f"{e.args[0]!r} has no Windows-1252 byte") from None


def rc4(key, data):
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 0xFF
        s[i], s[j] = s[j], s[i]
    out = bytearray()
    i = j = 0
    for byte in data:
        i = (i + 1) & 0xFF
        j = (j + s[i]) & 0xFF
        s[i], s[j] = s[j], s[i]
        out.append(byte ^ s[(s[i] + s[j]) & 0xFF])
    return bytes(out)


def _key(pass_phrase):
    return hashlib.md5(to_bytes(pass_phrase)).digest()[:5] + bytes(11)


def encrypt(text, pass_phrase):
    if not text:
        return ""
    cipher = rc4(_key(pass_phrase), to_bytes(text))
    return "".join(f"<CHR{b}>" if b < 32 else _TO_CHAR[b] for b in cipher)


def decrypt(text, pass_phrase):
    if not text:
        return ""
    for value in range(32):
        text = text.replace(f"<CHR{value}>", chr(value))
    return "".join(_TO_CHAR[b] for b in rc4(_key(pass_phrase), to_bytes(text)))


class Store:
    """The settings file: keys addressed by backslash paths below the root (id 0)."""

    def __init__(self, path):
        self.db = sqlite3.connect(path)
        self.db.executescript(
            "CREATE TABLE IF NOT EXISTS meta(name TEXT PRIMARY KEY, value TEXT);"
            "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL,"
            " fold TEXT NOT NULL, UNIQUE(parent, fold));"
            "CREATE TABLE IF NOT EXISTS vals(id INTEGER PRIMARY KEY, key INTEGER NOT NULL, name TEXT NOT NULL,"
            " fold TEXT NOT NULL, kind INTEGER NOT NULL, data BLOB, UNIQUE(key, fold));"
            "INSERT OR IGNORE INTO meta(name, value) VALUES('format', 'Bramblegate settings');"
            "INSERT OR IGNORE INTO meta(name, value) VALUES('schema', '1');")
        os.chmod(path, 0o600)

    def key(self, path):
        key_id = 0
        for name in path.split("\\"):
            row = self.db.execute("SELECT id FROM keys WHERE parent=? AND fold=?", (key_id, name.casefold())).fetchone()
            if row:
                key_id = row[0]
            else:
                key_id = self.db.execute("INSERT INTO keys(parent, name, fold) VALUES(?, ?, ?)",
                                         (key_id, name, name.casefold())).lastrowid
        return key_id

    def set(self, section, name, text):
        key_id = self.key("Software\\Bramblegate\\" + section)
        self.db.execute("INSERT INTO vals(key, name, fold, kind, data) VALUES(?, ?, ?, 1, ?) "
                        "ON CONFLICT(key, fold) DO UPDATE SET kind=1, data=excluded.data",
                        (key_id, name, name.casefold(), text.encode("utf-8") + b"\0"))

    def get(self, section, name):
        row = self.db.execute("SELECT v.data FROM vals v WHERE v.key=? AND v.fold=?",
                              (self.key("Software\\Bramblegate\\" + section), name.casefold())).fetchone()
        return row[0].rstrip(b"\0").decode("utf-8") if row else None

    def close(self):
        self.db.commit()
        self.db.close()


def program_version(source_root):
    """The version text the program stores: its major, minor and patch numbers run together."""
    with open(os.path.join(source_root, "CMakeLists.txt"), encoding="utf-8") as f:
        found = re.search(r"project\(\s*Bramblegate\s+VERSION\s+(\d+)\.(\d+)\.(\d+)", f.read())
    return "".join(found.groups())


def proper_case(name):
    return ".".join(" ".join(w[:1].upper() + w[1:].lower() for w in piece.split(" "))
                    for piece in name.strip().split("."))


def write_settings(path, user, master, links, version):
    """One user with the given Links (dicts: caption, url, user, password, option, auto, login),
    the program's version stored so that no first-run agreement or upgrade runs."""
    os.makedirs(os.path.dirname(path), mode=0o700, exist_ok=True)
    store = Store(path)
    store.set("General", "Users", "1")
    store.set("General", "LastUser", proper_case(user))
    store.set("General", "Version", version)
    store.set("Users", user, encrypt(master, master))
    store.set(user, "Version", version)
    for n, link in enumerate(links, start=1):
        for name, text in (("Caption", link["caption"]), ("SelectOption", link.get("option", "")),
                           ("NavigateAfterLogin", ""), ("URL", encrypt(link["url"], master)),
                           ("UserName", encrypt(link.get("user", ""), master)),
                           ("PW", encrypt(link.get("password", ""), master)),
                           ("AutoNavigate", "True" if link.get("auto", True) else "False"),
                           ("ReqLogin", "True" if link.get("login", True) else "False"),
                           ("ControlOrder", str(n - 1)), ("HidePopUps", "True")):
            store.set(user, f"{name}{n}", text)
    store.set(user, "Items", str(len(links)))
    store.close()


if __name__ == "__main__":
    if len(sys.argv) not in (8, 9):
        sys.exit(__doc__)
    file, user, master, caption, url, name, password = sys.argv[1:8]
    write_settings(file, user, master, [{"caption": caption, "url": url, "user": name, "password": password,
                                         "option": sys.argv[8] if len(sys.argv) == 9 else ""}],
                   version=program_version(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")))
