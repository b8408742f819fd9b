"""What the update tests need on disk, made fresh for each run:

  docroot/<case>/panel-kit/KX4/{software,firmware}/...   the server's files
  corpus/<name>.zip, corpus/manifest.tsv                 hostile archives

Packages carry a copy of the probe program (update_probe.exe) under the
name the install starts. Some are written with Python's zipfile, some with
Debian's zip, the hostile ones mostly with zip_forge. Packages are signed
with Debian's minisign and the development key (tests/update/keys), as a
release would sign them with its own; the refusal cases serve signatures
that are missing, cut short, made for another package, made with another
key, or made over other bytes."""

import io
import os
import shutil
import subprocess
import tempfile
import zipfile

import zip_forge
from zip_forge import Entry

SOFT = "panel-kit/KX4/software"
FIRM = "panel-kit/KX4/firmware"
DEV_KEY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "keys", "dev.key")


def _write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def _python_zip(files):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in files:
            z.writestr(zipfile.ZipInfo(name, (2026, 1, 2, 3, 4, 6)), data)
    return buf.getvalue()


def _debian_zip(files):
    """Debian's zip, from a folder laid out as the package."""
    with tempfile.TemporaryDirectory() as tmp:
        for name, data in files:
            _write(os.path.join(tmp, "tree", name), data)
        archive = os.path.join(tmp, "out.zip")
        subprocess.run(["zip", "-q", "-r", "-X", archive, "."], cwd=os.path.join(tmp, "tree"), check=True)
        with open(archive, "rb") as f:
            return f.read()


def _sign(path, key=DEV_KEY, legacy=False):
    """minisign's own signature, <path>.minisig, naming the file as minisign
    does by default ("file:<name>" in the trusted comment)."""
    command = ["minisign", "-S", "-q", "-s", key, "-m", path]
    if legacy:
        command.append("-l")
    subprocess.run(command, check=True, stdin=subprocess.DEVNULL)
    with open(path + ".minisig", "rb") as f:
        return f.read()


def _signature_for(name, data, key=DEV_KEY):
    """The signature minisign makes for `data` stored as `name`."""
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, name)
        _write(path, data)
        return _sign(path, key)


def _other_key(state):
    public, secret = os.path.join(state, "other.pub"), os.path.join(state, "other.key")
    for path in (public, secret):
        if os.path.exists(path):
            os.remove(path)
    subprocess.run(["minisign", "-G", "-W", "-q", "-p", public, "-s", secret], check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    return secret


def _sign_docroot(root):
    """Every package so far gets its signature."""
    for folder, _, files in os.walk(root):
        for name in files:
            path = os.path.join(folder, name)
            if name.endswith(".zip") and not os.path.exists(path + ".minisig"):
                _sign(path, legacy=name.startswith("Firmware"))


def build_refusals(root, probe, state):
    """Sound packages (they would install and start if nothing checked
    them) whose signatures must be refused."""
    exe = open(probe, "rb").read()

    def package(version):
        return _python_zip([("Software-%s.exe" % version, exe), ("docs/readme.txt", b"refused\n")])

    def case(name, version, data, signature):
        base = os.path.join(root, name, SOFT)
        _write(os.path.join(base, "version"), version.encode())
        _write(os.path.join(base, "Software-%s.zip" % version), data)
        if signature is not None:
            _write(os.path.join(base, "Software-%s.zip.minisig" % version), signature)

    case("unsigned", "1.0.2.1", package("1.0.2.1"), None)
    data = package("1.0.2.2")
    case("badsig", "1.0.2.2", data, _signature_for("Software-1.0.2.2.zip", data + b"\0"))
    data = package("1.0.2.3")
    case("otherkey", "1.0.2.3", data, _signature_for("Software-1.0.2.3.zip", data, _other_key(state)))
    data = package("1.0.2.4")
    case("othername", "1.0.2.4", data, _signature_for("Software-1.0.1.2.zip", data))
    data = package("1.0.2.5")
    whole = _signature_for("Software-1.0.2.5.zip", data)
    case("cutsig", "1.0.2.5", data, whole[: len(whole) * 2 // 3])


def build_docroot(root, probe):
    exe = open(probe, "rb").read()
    readme = b"package notes\n" * 50

    def case(name, software=None, firmware=None, soft_pkg=None, firm_pkg=None):
        base = os.path.join(root, name)
        if software is not None:
            _write(os.path.join(base, SOFT, "version"), software)
        if firmware is not None:
            _write(os.path.join(base, FIRM, "version"), firmware)
        if soft_pkg is not None:
            _write(os.path.join(base, SOFT, soft_pkg[0]), soft_pkg[1])
        if firm_pkg is not None:
            _write(os.path.join(base, FIRM, firm_pkg[0]), firm_pkg[1])

    good_soft = _python_zip([("Software-1.0.1.2.exe", exe), ("docs/readme.txt", readme)])
    good_firm = _debian_zip([("FirmwareUpdateTool-13.exe", exe), ("data/image.bin", bytes(range(256)) * 64)])
    case("newer", b"1.0.1.2\n", b"13", ("Software-1.0.1.2.zip", good_soft), ("FirmwareUpdateTool-13.zip", good_firm))
    case("same", b"1.0.1.1", b"12")
    case("crlf", b"1.0.1.2\r\n", b"13\r\n")
    case("threeparts", b"1.0.2", b"1")
    case("tenth", b"1.0.1.10", b"0")
    case("older", b"1.0.1.0", b"11")
    case("xml", b"<?xml version=\"1.0\"?><Error><Code>NoSuchKey</Code></Error>",
         b"<Error>NoSuchKey</Error>")
    case("notfound", b"Not Found", b"Not Found")
    case("empty", b"", b"")
    case("zero", b"\x001.0.1.2", b"\x0013")
    case("dotted-firmware", b"1.0.1.1", b"13.5")
    # Packages that must not lead to a start.
    case("garbage", b"1.0.1.3", None, ("Software-1.0.1.3.zip", b"this is no zip archive" * 100))
    crc = bytearray(zip_forge.build([Entry("Software-1.0.1.4.exe", exe, method=0)]))
    crc[200] ^= 0xFF  # inside the stored program
    case("crc", b"1.0.1.4", None, ("Software-1.0.1.4.zip", bytes(crc)))
    case("noexe", b"1.0.1.5", None, ("Software-1.0.1.5.zip", _python_zip([("docs/readme.txt", readme)])))
    case("nopackage", b"1.0.1.6")
    whole = _python_zip([("Software-1.0.1.7.exe", exe), ("docs/readme.txt", readme)])
    case("truncated", b"1.0.1.7", None, ("Software-1.0.1.7.zip", whole[: len(whole) // 2]))
    case("hostile", b"1.0.1.8", None,
         ("Software-1.0.1.8.zip", _python_zip([("Software-1.0.1.8.exe", exe), ("nul.txt", b"x")])))
    case("renamed", b"1.0.1.9", None,
         ("Software-1.0.1.9.zip", _python_zip([("bin/Software-1.0.1.9.exe", exe)])))


def build_corpus(folder):
    """Every way out of the target folder, and every liar. Each line of the
    manifest: name, expected exit code of `ostrelctl extract`, paths that
    must exist in the target afterwards (';'-separated, '-' for none),
    paths that must not, whether the archive is run from a folder that
    holds the extracting program itself, and how many entries are written
    ('-' when not checked)."""
    os.makedirs(folder, exist_ok=True)
    rows = []

    def add(name, data, exit_code=0, present=(), absent=(), in_program_folder=False, written=None):
        _write(os.path.join(folder, name + ".zip"), data)
        rows.append("\t".join([name, str(exit_code), ";".join(present) or "-", ";".join(absent) or "-",
                               "1" if in_program_folder else "0", "-" if written is None else str(written)]))

    def forge(name, entries, **kw):
        add(name, zip_forge.build(entries), **kw)

    x = b"escaped\n"
    forge("dotdot-backslash", [Entry("..\\escaped-1.txt", x)], present=["escaped-1.txt"])
    forge("dotdot-slash", [Entry("../escaped-2.txt", x)], present=["escaped-2.txt"])
    forge("dotdot-two", [Entry("..\\..\\escaped-3.txt", x)], present=["escaped-3.txt"])
    forge("dotdot-middle", [Entry("a/b/../../../escaped-4.txt", x)], present=["escaped-4.txt"])
    forge("dotdot-deep", [Entry("../" * 40 + "escaped-5.txt", x)], present=["escaped-5.txt"])
    forge("dotdot-dir", [Entry("../escaped-6/", b"", external=0o040755 << 16), Entry("../escaped-6/f", x)],
          present=["escaped-6\\f"])
    forge("drive-absolute", [Entry("C:\\escaped-7\\x.txt", x)], present=["escaped-7\\x.txt"])
    forge("drive-relative", [Entry("C:escaped-8.txt", x)], present=["escaped-8.txt"])
    forge("drive-z", [Entry("Z:\\tmp\\escaped-9.txt", x)], present=["tmp\\escaped-9.txt"])
    forge("root-slash", [Entry("/escaped-10.txt", x)], present=["escaped-10.txt"])
    forge("root-backslash", [Entry("\\escaped-11.txt", x)], present=["escaped-11.txt"])
    forge("unc", [Entry("\\\\server\\share\\escaped-12.txt", x)], present=["server\\share\\escaped-12.txt"])
    forge("long-prefix", [Entry("\\\\?\\C:\\escaped-13.txt", x)], absent=["escaped-13.txt"], written=0)
    forge("device-prefix", [Entry("\\\\.\\C:\\escaped-14.txt", x)], absent=["escaped-14.txt"], written=0)
    forge("device-prefix-com", [Entry("\\\\.\\COM1", x)], written=0)
    forge("stream", [Entry("escaped-15.txt:stream", x)], absent=["escaped-15.txt"], written=0)
    forge("stream-data", [Entry("escaped-16.txt::$DATA", x)], absent=["escaped-16.txt"], written=0)
    forge("device-con", [Entry("CON", x)], written=0)
    forge("device-nul-txt", [Entry("nul.txt", x)], absent=["nul.txt"], written=0)
    forge("device-com1", [Entry("dir/COM1", x)], absent=["dir\\COM1"], written=0)
    forge("device-lpt1", [Entry("LPT1.log", x)], absent=["LPT1.log"], written=0)
    forge("device-aux-space", [Entry("aux .txt", x)], written=0)
    forge("trailing-dot", [Entry("escaped-17.exe.", x)], absent=["escaped-17.exe"], written=0)
    forge("trailing-space", [Entry("escaped-18.exe ", x)], absent=["escaped-18.exe"], written=0)
    forge("trailing-dot-folder", [Entry("escaped-19./x", x)], absent=["escaped-19"], written=0)
    forge("long-name", [Entry("a" * 300, x)], written=0)
    forge("long-path", [Entry("d/" * 100 + "escaped-20.txt", x)])
    forge("ansi-invalid", [Entry(b"escaped-21-\x81\x8d\x8f.txt", x)], absent=["escaped-21-.txt"], written=0)
    forge("utf8-invalid", [Entry(b"escaped-22-\xff\xfe.txt", x, flags=0x0800)], written=0)
    forge("control-char", [Entry(b"escaped\x01-23.txt", x)], written=0)
    forge("nul-in-name", [Entry(b"ok.txt\x00../../escaped-24.txt", x)], absent=["escaped-24.txt", "ok.txt"], written=0)
    forge("symlink-up", [Entry("escaped-25", b"../../../..", method=0, external=0o120777 << 16)],
          absent=["escaped-25"], written=0)
    forge("symlink-then-through",
          [Entry("link", b"..", method=0, external=0o120777 << 16), Entry("link/escaped-26.txt", x)],
          present=["link\\escaped-26.txt"])
    forge("dir-then-file", [Entry("same/", b"", external=0o040755 << 16), Entry("same", x)], written=1)
    forge("file-then-dir", [Entry("same2", x), Entry("same2/inner.txt", x)], present=["same2"])
    forge("file-twice", [Entry("twice.txt", b"first"), Entry("TWICE.txt", b"second")], present=["twice.txt"], written=1)
    forge("replace-program", [Entry("ostrelctl.exe", b"MZ not the program"), Entry("hidapi.dll", b"MZ no dll")],
          in_program_folder=True, written=0)
    # The same length, so that minizip's header check lets it through.
    forge("local-name-differs", [Entry("inside.txt", x, local_name=b"..\\escaped")],
          present=["inside.txt"], absent=["..\\escaped"], written=1)
    forge("overrun-deflate", [Entry("overrun.bin", b"\0" * (8 << 20), declared=1000)], absent=["overrun.bin"], written=0)
    forge("overrun-stored", [Entry("overrun2.bin", b"A" * 100000, method=0, declared=10)],
          absent=["overrun2.bin"], written=0)
    forge("short-data", [Entry("short.bin", b"B" * 100, declared=5000)], absent=["short.bin"], written=0)
    forge("bomb-declared", [Entry("bomb.bin", b"\0" * 1000, declared=3 << 30)], absent=["bomb.bin"], written=0)
    forge("crc-mismatch", [Entry("crc.bin", b"C" * 50000, crc=0x12345678), Entry("after.txt", x)],
          present=["after.txt"], absent=["crc.bin"])
    forge("corrupt-deflate", [Entry("corrupt.bin", b"D" * 1000, payload=b"\xff" * 300)], absent=["corrupt.bin"], written=0)
    forge("encrypted", [Entry("secret.txt", x, flags=0x0001)], absent=["secret.txt"], written=0)
    forge("method-unknown", [Entry("lzma.bin", x, method=14)], absent=["lzma.bin"], written=0)
    good = zip_forge.build([Entry("a.txt", x), Entry("b/c.txt", x * 100)])
    add("truncated-half", good[: len(good) // 2], exit_code=1)
    # Opens (the end record's signature is found) but its directory is cut.
    add("truncated-end-record", good[:-10], absent=["a.txt"])
    add("not-a-zip", b"PK\x03\x04" + b"\xee" * 500, exit_code=1)
    add("empty-file", b"", exit_code=1)
    add("python-zipfile", _python_zip([("top.txt", x), ("sub/dir/deep.txt", x)]),
        present=["top.txt", "sub\\dir\\deep.txt"])
    add("debian-zip", _debian_zip([("top.txt", x), ("sub/deep.txt", x)]), present=["top.txt", "sub\\deep.txt"])
    with tempfile.TemporaryDirectory() as tmp:
        os.makedirs(os.path.join(tmp, "tree"))
        os.symlink("../../../../etc", os.path.join(tmp, "tree", "escaped-28"))
        _write(os.path.join(tmp, "tree", "plain.txt"), x)
        archive = os.path.join(tmp, "links.zip")
        subprocess.run(["zip", "-q", "-y", "-r", archive, "."], cwd=os.path.join(tmp, "tree"), check=True)
        add("debian-zip-symlink", open(archive, "rb").read(), present=["plain.txt"], absent=["escaped-28"])
    with open(os.path.join(folder, "manifest.tsv"), "w") as f:
        f.write("\n".join(rows) + "\n")
    return len(rows)


def build(state, probe):
    for sub in ("docroot", "corpus"):
        shutil.rmtree(os.path.join(state, sub), ignore_errors=True)
    build_docroot(os.path.join(state, "docroot"), probe)
    _sign_docroot(os.path.join(state, "docroot"))
    build_refusals(os.path.join(state, "docroot"), probe, state)
    return build_corpus(os.path.join(state, "corpus"))
