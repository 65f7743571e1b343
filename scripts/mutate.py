#!/usr/bin/env python3
"""`make mutate`: whether the suite notices small faults in the sources.

Each line of scripts/mutations.txt plants one fault: in FILE, the first occurrence of a
text becomes another. One at a time, the fault is planted, the tree is built in
build-mutate/, the suite runs (Wine tests aside), and the file is put back as it was.
A fault the suite passes with has escaped. Prints one line per fault and the escaped
ones at the end; exits 1 when any escaped, 2 when a line no longer matches its file.

  scripts/mutate.py [--only N[,N...]] [--build DIR]

mutations.txt: "FILE | TEXT | REPLACEMENT | what the fault is", "#" starts a comment;
"\\n" in TEXT or REPLACEMENT stands for a line break, "\\|" for a bar.
"""
import argparse
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent


def parse(path):
    mutations = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        # A bar inside a field is written "\|"; it stands aside while the line is split.
        fields = [f.strip().replace("\0", "|").replace("\\n", "\n") for f in line.replace("\\|", "\0").split("|")]
        if len(fields) != 4:
            sys.exit(f"mutations.txt:{number}: expected FILE | TEXT | REPLACEMENT | what")
        mutations.append((number, *fields))
    return mutations


def run(command, log):
    return subprocess.run(command, cwd=ROOT, stdout=log, stderr=subprocess.STDOUT).returncode == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--only", help="line numbers of mutations.txt to plant, comma-separated")
    parser.add_argument("--build", default="build-mutate")
    options = parser.parse_args()
    mutations = parse(ROOT / "scripts" / "mutations.txt")
    if options.only:
        wanted = {int(n) for n in options.only.split(",")}
        mutations = [m for m in mutations if m[0] in wanted]

    stale = [m for m in mutations if (ROOT / m[1]).read_text(encoding="utf-8").find(m[2]) < 0]
    for number, file, text, _, _ in stale:
        print(f"mutations.txt:{number}: {file} no longer holds {text!r}")
    if stale:
        return 2

    build = ROOT / options.build
    log_path = build / "mutate.log"
    build.mkdir(exist_ok=True)
    with open(log_path, "w") as log:
        configured = (build / "CMakeCache.txt").exists() or run(["cmake", "-S", ".", "-B", str(build)], log)
        if not configured or not run(["cmake", "--build", str(build), "-j2"], log):
            print(f"the unchanged tree does not build; see {log_path}")
            return 2
        escaped = []
        for number, file, text, replacement, what in mutations:
            source = ROOT / file
            original = source.read_text(encoding="utf-8")
            started = time.monotonic()
            try:
                source.write_text(original.replace(text, replacement, 1), encoding="utf-8")
                built = run(["cmake", "--build", str(build), "-j2"], log)
                caught = not built or not run(["ctest", "--test-dir", str(build), "-j2", "-LE", "wine",
                                               "--stop-on-failure", "--timeout", "120"], log)
            finally:
                source.write_text(original, encoding="utf-8")
            verdict = ("caught (does not build)" if not built else "caught") if caught else "ESCAPED"
            print(f"{number:3} {verdict:24} {file}: {what} ({time.monotonic() - started:.0f} s)", flush=True)
            if not caught:
                escaped.append((number, file, what))
        run(["cmake", "--build", str(build), "-j2"], log)  # back to the unchanged tree
    print(f"\n{len(mutations) - len(escaped)} of {len(mutations)} faults caught")
    for number, file, what in escaped:
        print(f"escaped: mutations.txt:{number}: {file}: {what}")
    return 1 if escaped else 0


if __name__ == "__main__":
    sys.exit(main())
