#!/usr/bin/env python3
"""Fails when a help context the programs pass does not open its topic in
the built .chm files.

The viewer finds a context through the file's own map: #IVB holds pairs of
context number and offset into #STRINGS, where the topic's path inside the
file is.  The check reads that map as the viewer does, with the contexts
check_help_contexts.py collects from the sources, and wants for each one:
  - the context in the map,
  - a path inside the file ("/topic.htm", not a path of the build machine),
  - that file in the .chm, with the text of the topic contexts.txt names.
Every line of contexts.txt is held to the same, used or not.  Context 0 is
"no topic of its own": the compiler maps nothing for it and the help function
opens the default topic instead (#SYSTEM record 2), which must be its topic.

usage: check_compiled_help.py SOURCE_DIR BIN_DIR
Exits 77 (skipped) without 7z (Debian package p7zip-full).
"""
import pathlib
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import check_help_contexts  # noqa: E402


def read_context_map(folder):
    """context -> path inside the .chm, from the extracted #IVB and #STRINGS."""
    ivb = (folder / "#IVB").read_bytes()
    strings = (folder / "#STRINGS").read_bytes()
    if len(ivb) < 4:
        raise ValueError("#IVB is too short")
    (size,) = struct.unpack_from("<I", ivb, 0)
    if size % 8 or size > len(ivb) - 4:
        raise ValueError(f"#IVB says it holds {size} bytes of pairs, the file has {len(ivb) - 4}")
    mapped = {}
    for at in range(4, 4 + size, 8):
        context, offset = struct.unpack_from("<II", ivb, at)
        end = strings.find(b"\0", offset)
        if offset >= len(strings) or end < 0:
            raise ValueError(f"context {context}: offset {offset} is outside #STRINGS")
        mapped[context] = strings[offset:end].decode("latin-1")
    return mapped


def read_default_topic(folder):
    """The default topic of the extracted #SYSTEM (record 2), or None."""
    data = (folder / "#SYSTEM").read_bytes()
    at = 4   # the version
    while at + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, at)
        at += 4
        if at + length > len(data):
            break
        if code == 2:
            return data[at:at + length].split(b"\0")[0].decode("latin-1")
        at += length
    return None


def check(chm, mapping, wanted, source):
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        folder = pathlib.Path(scratch)
        result = subprocess.run(["7z", "x", "-y", f"-o{folder}", str(chm)], capture_output=True, text=True)
        if result.returncode != 0:
            return [f"{chm.name}: 7z cannot read it: {result.stdout[-400:]}{result.stderr[-400:]}"]
        try:
            in_file = read_context_map(folder)
        except (OSError, ValueError) as error:
            return [f"{chm.name}: no context map: {error}"]
        named = check_help_contexts.read_map(mapping)
        topics = mapping.parent / "topics"
        contexts = dict((context, f"{where} ({mapping.relative_to(source)})")
                        for context, (_, where) in named.items())
        contexts.update(wanted)
        for context, where in sorted(contexts.items()):
            if context not in named:
                continue   # check_help_contexts.py reports it
            topic = named[context][0]
            if context == 0:
                default = read_default_topic(folder)
                if default is None or default.lstrip("/") != topic:
                    failures.append(f"{chm.name}: the default topic is {default}, context 0 wants {topic}")
                continue
            if context not in in_file:
                failures.append(f"{chm.name}: context {context} ({where}) is not in the file's map")
                continue
            path = in_file[context]
            if not path.startswith("/") or "/" in path[1:]:
                failures.append(f"{chm.name}: context {context} opens \"{path}\", not a topic at the file's root")
                continue
            inside = folder / path[1:]
            if not inside.is_file():
                failures.append(f"{chm.name}: context {context} opens {path}, which is not in the file")
            elif inside.read_bytes() != (topics / topic).read_bytes():
                failures.append(f"{chm.name}: context {context} opens {path}, which is not {topic}")
    return failures


def main(source, bin_dir):
    source, bin_dir = pathlib.Path(source), pathlib.Path(bin_dir)
    if not shutil.which("7z"):
        print("7z not found (Debian package p7zip-full): compiled help check skipped")
        return 77
    collected = check_help_contexts.collect(source)
    if collected is None:
        return 1
    used, lessons = collected
    failures = []
    for chm, mapping, wanted in ((bin_dir / "Lintel.chm", source / "help" / "contexts.txt", used),
                                 (bin_dir / "Lintel Intro.chm", source / "help" / "intro" / "contexts.txt", lessons)):
        if not chm.is_file():
            failures.append(f"{chm} is not built")
            continue
        failures += check(chm, mapping, wanted, source)
    for failure in failures:
        print(failure)
    print(f"{len(used)} help contexts and {len(lessons)} lessons looked up in the compiled help, "
          f"{len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
