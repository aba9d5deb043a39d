#!/usr/bin/env python3
"""Checks that the program's folders include one way: a layer includes only
itself and the layers below it, and each library target is built from its
own folders.

    scripts/check-layers.py [ROOT]     check the tree at ROOT (default: this checkout)
    scripts/check-layers.py --self-test
                                       plant a wrong include in a small tree for
                                       each forbidden direction and see it caught

Prints one line per fault and exits 1 when there is any.
"""
import os
import re
import sys
import tempfile

# Lowest first. A folder may include from its own rank and any rank below;
# folders of one rank (the window's features) may not include each other.
RANKS = [
    ["core/model"],
    ["core/platform"],
    ["core/rules"],
    ["core/engine"],
    ["core/solver"],
    ["core/storage"],
    ["core/workbook"],
    ["core/roster"],
    ["core/update"],
    ["print"],
    ["ui/common"],
    ["ui/window"],
    ["ui/requirements", "ui/results", "ui/history", "ui/settings", "ui/files", "ui/update"],
    ["cli"],
    ["app"],
]
# Beyond the order: the command line runs on Qt Core, so it sees only the core.
FORBIDDEN = {"cli": ("print", "ui/")}
TOP_FOLDERS = ("core", "print", "ui", "cli", "app")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCE_SUFFIXES = (".h", ".cpp")


def folder_of(path):
    """The layer folder a repository path belongs to, or None."""
    parts = path.split("/")
    if parts[0] in ("core", "ui") and len(parts) > 2:
        return parts[0] + "/" + parts[1]
    if parts[0] in ("print", "cli", "app") and len(parts) > 1:
        return parts[0]
    return None


def rank_of(folder):
    for rank, folders in enumerate(RANKS):
        if folder in folders:
            return rank
    return None


def include_fault(source_folder, included):
    target_folder = folder_of(included)
    if target_folder is None or target_folder == source_folder:
        return None
    for prefix in FORBIDDEN.get(source_folder, ()):
        if included.startswith(prefix):
            return "%s may include only from core/" % source_folder
    source_rank, target_rank = rank_of(source_folder), rank_of(target_folder)
    if source_rank is None:
        return "%s is not a known layer folder" % source_folder
    if target_rank is None:
        return "%s is not a known layer folder" % target_folder
    if target_rank > source_rank:
        return "%s is above %s" % (target_folder, source_folder)
    if target_rank == source_rank:
        return "%s and %s are features of one layer and do not include each other" % (source_folder, target_folder)
    return None


def cmake_faults(root, relative):
    """A CMakeLists.txt of a layer folder lists no file of another top folder."""
    faults = []
    own_top = relative.split("/")[0]
    pattern = re.compile(r"(\$\{(?:PROJECT|CMAKE)_SOURCE_DIR\}/|\.\./)(%s)/" % "|".join(TOP_FOLDERS))
    with open(os.path.join(root, relative), encoding="utf-8") as stream:
        for number, line in enumerate(stream, 1):
            code = line.split("#", 1)[0]
            for match in pattern.finditer(code):
                if match.group(2) != own_top or match.group(1) == "../":
                    faults.append("%s:%d: lists a file of %s/, another target's folder" % (relative, number, match.group(2)))
    return faults


def check(root):
    faults = []
    for top in TOP_FOLDERS:
        for directory, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                if name == "CMakeLists.txt":
                    faults.extend(cmake_faults(root, relative))
                    continue
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                source_folder = folder_of(relative)
                with open(path, encoding="utf-8") as stream:
                    for number, line in enumerate(stream, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        fault = include_fault(source_folder, match.group(1))
                        if fault:
                            faults.append('%s:%d: #include "%s": %s' % (relative, number, match.group(1), fault))
    return faults


def self_test():
    """Every forbidden direction is caught, and a clean tree passes."""
    planted = [
        ("core/model/a.h", "ui/window/mainwindow.h"),
        ("core/engine/a.cpp", "print/planpainter.h"),
        ("core/engine/a.cpp", "core/storage/configstore.h"),
        ("core/model/a.cpp", "core/rules/requirementcheck.h"),
        ("print/a.cpp", "ui/window/mainwindow.h"),
        ("cli/a.cpp", "print/planpainter.h"),
        ("cli/a.cpp", "ui/settings/settingsdialog.h"),
        ("ui/window/a.cpp", "ui/settings/settingsdialog.h"),
        ("ui/history/a.cpp", "ui/results/x.h"),
        ("ui/common/a.cpp", "app/guipart.h"),
        ("core/update/a.cpp", "cli/commandline.h"),
    ]
    failures = 0
    for source, included in planted:
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, os.path.dirname(source)))
            with open(os.path.join(root, source), "w", encoding="utf-8") as stream:
                stream.write('#include "%s"\n' % included)
            if not check(root):
                print("not caught: %s including %s" % (source, included))
                failures += 1
    with tempfile.TemporaryDirectory() as root:
        for source, included in [("ui/history/a.cpp", "ui/window/mainwindow.h"), ("app/a.cpp", "ui/window/b.h"),
                                 ("core/roster/a.cpp", "core/workbook/xlsx/workbook.h"), ("print/a.cpp", "core/model/b.h"),
                                 ("cli/a.cpp", "core/storage/b.h"), ("core/model/a.cpp", "core/model/b.h")]:
            os.makedirs(os.path.join(root, os.path.dirname(source)), exist_ok=True)
            with open(os.path.join(root, source), "a", encoding="utf-8") as stream:
                stream.write('#include "%s"\n' % included)
        os.makedirs(os.path.join(root, "print"), exist_ok=True)
        with open(os.path.join(root, "print", "CMakeLists.txt"), "w", encoding="utf-8") as stream:
            stream.write("add_library(x STATIC ${PROJECT_SOURCE_DIR}/core/engine/a.cpp)\n")
        faults = check(root)
        if faults != ["print/CMakeLists.txt:1: lists a file of core/, another target's folder"]:
            print("clean tree judged wrongly: %s" % faults)
            failures += 1
    print("self-test: %d of %d planted faults caught, clean tree %s" %
          (len(planted) - min(failures, len(planted)), len(planted), "passed" if not failures else "failed"))
    return 1 if failures else 0


def main(arguments):
    if arguments[:1] == ["--self-test"]:
        return self_test()
    root = arguments[0] if arguments else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    faults = check(root)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
