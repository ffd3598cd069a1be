#!/usr/bin/env python3
"""Asset query of the Create Scene matching table (a row's Options "fishMode": "shotgun").

Called as:   python3 Quillmark-ShotgunApiGet.py NAME FISHPARAM
Prints, for the asset NAME, one file or folder path per line; or "None" alone when the asset
has no file; or "ERROR" as the first line (a reason follows) when it cannot answer.

This copy does not reach any production-tracking server. It answers from a local JSON file that
maps asset names to lists of paths: the file named by FISHPARAM when FISHPARAM ends in ".json",
otherwise the file named by the environment variable CELLKIT_ASSET_QUERY_FILE. For example
    {"bob": ["/lib/chars/bob.png"], "sc010_bg": ["/lib/bg/a.psd", "/lib/bg/b.psd"]}
A studio replaces the body of answer() with a call to its own tracking service and keeps the
output rules above.
"""
import json
import os
import sys


def answer(name, param):
    source = param if param.lower().endswith(".json") else os.environ.get(
        "CELLKIT_ASSET_QUERY_FILE", "")
    if not source:
        raise ValueError("no asset source: give a .json file as fishParam "
                         "or set CELLKIT_ASSET_QUERY_FILE")
    with open(source, encoding="utf-8") as f:
        table = json.load(f)
    if not isinstance(table, dict):
        raise ValueError(source + " does not map names to paths")
    paths = table.get(name)
    if isinstance(paths, str):
        paths = [paths]
    return [str(p) for p in paths or []]


def main(argv):
    if len(argv) < 2:
        print("ERROR")
        print("usage: Quillmark-ShotgunApiGet.py NAME [FISHPARAM]")
        return 1
    try:
        paths = answer(argv[1], argv[2] if len(argv) > 2 else "")
    except (OSError, ValueError) as error:
        print("ERROR")
        print(error)
        return 1
    print("\n".join(paths) if paths else "None")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
