#!/usr/bin/env python3
"""Says how many tests the last run skipped and why, from the GoogleTest reports of its programs
(one XML file a process, in the folder given), so that no skip goes unseen."""
import pathlib
import sys
import xml.etree.ElementTree as ElementTree


def main(folder: pathlib.Path) -> int:
    skipped, unreadable = [], []
    for report in sorted(folder.glob("*.xml")):
        try:
            # A test's parameter may hold bytes that are not UTF-8, which the report keeps as they are.
            root = ElementTree.fromstring(report.read_bytes().decode("utf-8", errors="replace"))
        except ElementTree.ParseError:
            unreadable.append(report.stem)  # the process ended before it wrote its report
            continue
        for case in root.iter("testcase"):
            if case.get("result") != "skipped":
                continue
            detail = case.find("skipped")
            # The message is "file:line" and then what the test said on the next line.
            lines = (detail.get("message", "") if detail is not None else "").strip().splitlines()
            skipped.append((f"{case.get('classname')}.{case.get('name')}", lines[-1] if lines else "no reason given"))
    if skipped:
        print(f"make test: {len(skipped)} test{'s' if len(skipped) != 1 else ''} skipped:")
        for name, reason in skipped:
            print(f"  {name}: {reason}")
    else:
        print("make test: no test was skipped")
    if unreadable:
        print(f"make test: no complete report from {', '.join(unreadable)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))
