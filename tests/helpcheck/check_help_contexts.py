#!/usr/bin/env python3
"""Fails when a help context that a program can pass has no topic.

HTML Help opens nothing for a context its file does not map (it has no
fallback topic), so every context number the programs hand to the help
function must be in help/contexts.txt (Lintel.chm) or, for the lessons of the
tip program, in help/intro/contexts.txt (Lintel Intro.chm).

The numbers are collected from the sources as the programs use them:
  - #define IDH_... / HELP_... <number> in the resource headers;
  - tables of control and context ids (arrays named ...Help...[]), whose
    second column is a number or one of those names;
  - literal numbers passed with HELP_CONTEXT / HELP_CONTEXTPOPUP or to
    SetMenuContextHelpId;
  - the help items of the tip records (TIPS resources);
  - the lessons: IDH_FIRST_LESSON and the lessons after it.

usage: check_help_contexts.py SOURCE_DIR
"""
import pathlib
import re
import sys

PROGRAM_FOLDERS = ["app", "toolbars", "buttons", "common", "explorer", "wizard", "tips", "shellext"]
DEFINE = re.compile(r"^\s*#define\s+((?:IDH|HELP)_\w+)\s+\(?\s*(\d+)\s*\)?", re.M)
TABLE = re.compile(r"\b\w*[Hh]elp\w*\s*\[\s*\]\s*=\s*\{(.*?)\}\s*;", re.S)
LITERAL_CALL = re.compile(r"\bHELP_CONTEXT(?:POPUP)?\s*,\s*(\d+)\b|\bSetMenuContextHelpId\s*\([^,;]+,\s*(\d+)\s*\)")
TIP_RECORD = re.compile(r"^\s*\d+\s+TIPS\s*\{\s*\d+L?\s*,\s*(\d+)L?\s*\}", re.M)
LESSON_COUNT = re.compile(r"\bkLessonCount\s*=\s*(\d+)")


def read_map(path):
    mapped = {}
    for number, line in enumerate(path.read_text().splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        fields = line.split()
        mapped[int(fields[0])] = (fields[1], f"{path.name}:{number}")
    return mapped


def line_of(text, offset):
    return text.count("\n", 0, offset) + 1


def main(source):
    source = pathlib.Path(source)
    used = {}          # context -> where it was seen (first place)
    lessons = {}
    names = {}

    def use(target, context, where):
        if context:
            target.setdefault(context, where)

    headers = sorted((source / "resources").rglob("*.h"))
    sources = sorted(p for folder in PROGRAM_FOLDERS for p in (source / folder).rglob("*")
                     if p.suffix in (".cpp", ".h"))
    for path in headers + sources:
        text = path.read_text(errors="replace")
        for match in DEFINE.finditer(text):
            names[match.group(1)] = int(match.group(2))
            where = f"{path.relative_to(source)}:{line_of(text, match.start())}"
            if match.group(1) == "IDH_FIRST_LESSON":
                continue
            use(used, int(match.group(2)), where)

    first_lesson = names.get("IDH_FIRST_LESSON")
    lesson_count = 0
    for path in sources:
        text = path.read_text(errors="replace")
        rel = path.relative_to(source)
        for match in TABLE.finditer(text):
            cells = [cell.strip() for cell in re.sub(r"//[^\n]*", "", match.group(1)).split(",") if cell.strip()]
            for cell in cells[1::2]:
                value = int(cell, 0) if re.fullmatch(r"\d+|0x[0-9a-fA-F]+", cell) else names.get(cell)
                if value is None:
                    print(f"{rel}:{line_of(text, match.start())}: cannot read help table entry {cell!r}")
                    return 1
                use(used, value, f"{rel}:{line_of(text, match.start())}")
        for match in LITERAL_CALL.finditer(text):
            use(used, int(match.group(1) or match.group(2)), f"{rel}:{line_of(text, match.start())}")
        count = LESSON_COUNT.search(text)
        if count and rel.parts[0] == "tips":
            lesson_count = max(lesson_count, int(count.group(1)))

    for path in sorted((source / "resources" / "tips").glob("*.rc")):
        text = path.read_text(errors="replace")
        for match in TIP_RECORD.finditer(text):
            use(used, int(match.group(1)), f"{path.relative_to(source)}:{line_of(text, match.start())}")

    if first_lesson is None or lesson_count == 0:
        print("the lessons of the tip program were not found (IDH_FIRST_LESSON, kLessonCount)")
        return 1
    for lesson in range(lesson_count):
        use(lessons, first_lesson + lesson, f"lesson {lesson + 1} of the tip program")

    failures = 0
    for mapping, wanted in ((source / "help" / "contexts.txt", used),
                            (source / "help" / "intro" / "contexts.txt", lessons)):
        mapped = read_map(mapping)
        topics = mapping.parent / "topics"
        for context, where in sorted(wanted.items()):
            if context not in mapped:
                print(f"{where}: help context {context} has no topic in {mapping.relative_to(source)}")
                failures += 1
        for context, (topic, where) in sorted(mapped.items()):
            if not (topics / topic).is_file():
                print(f"{mapping.relative_to(source)} ({where}): context {context} opens {topic}, which does not exist")
                failures += 1
    print(f"{len(used)} help contexts and {len(lessons)} lessons checked, {failures} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parents[2]))
