#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/TARGET/, from the
test data, the demo package and small hand-made files.  Campaigns grow the
corpora from there (scripts/fuzz); run this only to start a corpus afresh.

Usage: tests/fuzz/seed_corpora.py VELMORA   (the velmora program, for packing
the demo with --no-setup)"""
import hashlib
import pathlib
import re
import struct
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
DATA = ROOT / "tests" / "data"
LIMIT = 16384  # seeds stay small


def put(target, data):
    if len(data) > LIMIT:
        return
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / hashlib.sha1(data).hexdigest()).write_bytes(data)


def media_sets(velmora, work):
    """(first-part files, second-part files) of every test package and the demo."""
    sets = []
    for folder in sorted((DATA / "media").iterdir()):
        first = sorted(folder.glob("velmor.*"), key=lambda p: int(p.suffix[1:]))
        second = sorted(folder.glob("velmore.*"), key=lambda p: int(p.suffix[1:]))
        sets.append(([p.read_bytes() for p in first], [p.read_bytes() for p in second]))
    demo = work / "demo"
    subprocess.run([velmora, "pack", str(ROOT / "examples/demo/manifest.toml"), "-o", str(demo),
                    "--no-setup"], check=True, stdout=subprocess.DEVNULL)
    sets.append(([p.read_bytes() for p in sorted(demo.glob("velmor.*"))], []))
    return sets


def bitmap(bits, width, height, rle=False, top_down=False):
    colours = 1 << bits if bits <= 8 else 0
    stride = (width * bits + 31) // 32 * 4
    pixels = bytes([0, 2, 1, 0] * 4 + [0, 1]) if rle else bytes(stride * height)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits,
                       1 if rle else 0, len(pixels), 2835, 2835, colours, 0)
    table = bytes(4 * colours)
    offset = 14 + len(info) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + table + pixels


def pe_images():
    text = (DATA / "version_fixtures.inc").read_text()
    for body in re.findall(r"\{([^}]*)\}", text):
        yield bytes(int(b, 16) for b in re.findall(r"0x([0-9a-fA-F]{2})", body))


def main():
    velmora = sys.argv[1]
    with tempfile.TemporaryDirectory() as temp:
        work = pathlib.Path(temp)
        for first, second in media_sets(velmora, work):
            framed = b"|NEXT|".join(first)
            if second:
                framed += b"|PART2|" + b"|NEXT|".join(second)
            put("package_reader", framed)
            for media in first[:1] + second[:1]:
                put("step_record", media)
    for path in sorted((DATA / "codec").glob("*.enc")) + sorted((DATA / "decode").glob("*.enc")):
        put("stream_decoder", b"\x00\x10" + path.read_bytes())
    for path in sorted((DATA / "codec").glob("*.in")):
        put("codec_roundtrip", path.read_bytes())
    for path in sorted((DATA / "logs").glob("*.VMU")):
        put("uninstall_log", path.read_bytes())
    for image in pe_images():
        put("pe_version", image)
    for shape in [(1, 8, 2), (4, 5, 3), (8, 4, 4), (24, 3, 2), (32, 2, 2)]:
        put("bitmap_header", bitmap(*shape))
    put("bitmap_header", bitmap(8, 4, 2, rle=True))
    put("bitmap_header", bitmap(24, 2, 2, top_down=True))
    put("answer_file", (ROOT / "examples/demo/answers.txt").read_bytes())
    put("answer_file", b'# every kind of rule\nmessage "*disk*" = retry 2\ndirectory "Where*" = '
        b'type "C:\\\\APP" ok\ngroup = ok\nreplace "*.DLL" = keep\nagreement "*" = accept\n'
        b'readme "*" = ok\nuser "Your name" = type "Ann" ok\n')
    put("manifest", (ROOT / "examples/demo/manifest.toml").read_bytes())
    put("manifest", b'title = "Seed"\ncheck_dates = true\n\n[[step]]\nclass = "CStepDirectory"\n'
        b'name = "App"\nquestion = "Where?"\ndefault = "C:\\\\APP"\n\n[[step]]\nclass = "CStepFileCopy"\n'
        b'source = "a.txt"\ndirectory = "App"\nmodified = 1996-08-01T10:00:00Z\n\n[[step]]\n'
        b'class = "CStepFileCopy"\nsource = "sub/b.dll"\nname = "B.DLL"\nregister = true\n\n'
        b'[second_part]\ntitle = "Two"\n[[second_part.step]]\nclass = "CStepPMG"\nname = "Group"\n')
    put("registry_store", b'VELMORA REGISTRY 1\n[HKEY_LOCAL_MACHINE\\Software\\Lantern]\n@="default"\n'
        b'"Path"="C:\\\\LANTERN"\n"Template"=expand:"%WINDIR%\\\\x\\x01"\n"Count"=dword:00000005\n'
        b'"Other"=hex(5):00,00,00,05\n; comment\n\n[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\A%25B]\n')
    put("profile_text", b"; lead\r\n[Run]\r\nLoad=notes.exe\r\n  Key = 'quoted' \r\n[Empty]\r\n=\r\n"
        b"line without equals\r\n[Broken\r\n\x1a")
    for line in [b'\x01/quiet /answers "C:\\A B\\answers.txt" /log C:\\SETUP.LOG', b"\x01",
                 b'\x00/QUIET /log "C:\\U.LOG" C:\\WINDOWS\\VELMORA.VMU', b"\x01/answers"]:
        put("setup_command_line", line)
    put("profile_text", b"\xef\xbb\xbf[Owner]\r\nName=\xc3\xa9\r\n")
    put("profile_text", "[Owner]\r\nName=x\r\n".encode("utf-16-le").join([b"\xff\xfe", b""]))
    put("profile_text", "[Owner]\r\nName=x\r\n".encode("utf-16-be").join([b"\xfe\xff", b""]))


if __name__ == "__main__":
    main()
