#!/usr/bin/env python3
"""The folders of core/, platform/, ui/ and tools/ point down only: no folder
includes another that includes it back, directly or round a circle, and
platform/ holds folders only.

Usage: FolderLayersTest.py SOURCE_DIR"""
import os
import re
import sys

ROOTS = ("core", "platform", "ui", "tools")


def folders_and_headers(source):
    """Each folder holding sources, and the folder of each header name."""
    folders, header_home = set(), {}
    for root in ROOTS:
        for path, _, files in os.walk(os.path.join(source, root)):
            folder = os.path.relpath(path, source)
            # A folder's internal headers are the folder's own.
            if os.path.basename(folder) == "internal":
                folder = os.path.dirname(folder)
            for name in files:
                if name.endswith((".h", ".cpp")):
                    folders.add(folder)
                if name.endswith(".h"):
                    header_home.setdefault(name, set()).add(folder)
    return folders, header_home


def edges(source, folders, header_home):
    """Folder -> the other folders whose headers it includes."""
    graph = {folder: set() for folder in folders}
    for folder in folders:
        paths = [os.path.join(folder, name) for name in os.listdir(os.path.join(source, folder))]
        if os.path.isdir(os.path.join(source, folder, "internal")):
            paths += [os.path.join(folder, "internal", name) for name in os.listdir(os.path.join(source, folder, "internal"))]
        for path in paths:
            if not path.endswith((".h", ".cpp")):
                continue
            with open(os.path.join(source, path), encoding="utf-8") as text:
                for header in re.findall(r'^\s*#\s*include\s+"([^"]+)"', text.read(), re.M):
                    homes = header_home.get(os.path.basename(header), set())
                    if folder in homes:
                        continue
                    for home in homes:
                        graph[folder].add(home)
    return graph


def cycle(graph):
    """One circle of folders, or None."""
    state, stack = {}, []

    def visit(folder):
        state[folder] = "open"
        stack.append(folder)
        for other in sorted(graph[folder]):
            if state.get(other) == "open":
                return stack[stack.index(other):] + [other]
            if other not in state:
                found = visit(other)
                if found:
                    return found
        stack.pop()
        state[folder] = "done"
        return None

    for folder in sorted(graph):
        if folder not in state:
            found = visit(folder)
            if found:
                return found
    return None


def main():
    source = sys.argv[1]
    failures = []
    loose = [name for name in os.listdir(os.path.join(source, "platform"))
             if os.path.isfile(os.path.join(source, "platform", name)) and name != "CMakeLists.txt"]
    if loose:
        failures.append("platform/ holds loose files: " + ", ".join(sorted(loose)))
    folders, header_home = folders_and_headers(source)
    for header, homes in sorted(header_home.items()):
        if len(homes) > 1:
            failures.append("%s is in more than one folder: %s" % (header, ", ".join(sorted(homes))))
    found = cycle(edges(source, folders, header_home))
    if found:
        failures.append("folders include each other: " + " -> ".join(found))
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print("%d folders, no circle" % len(folders))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
