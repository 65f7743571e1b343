#!/usr/bin/env python3
"""Runs ordexa.dll under Wine for ctest: one Wine prefix inside the build folder, shared by
all Wine tests of a run (created by `prefix`, stopped by `shutdown`).

Each command exits 0 when the check holds, 1 with a message naming what differs, and 77
(skipped, with the reason) when wine or the Windows build is missing.
"""
import argparse
import datetime
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree
import zlib

SKIP = 77

CLSID = "{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F10}"
LIBID = "{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F01}"
APPID = LIBID
INTERFACES = {
    "{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F20}": "IPayManager",
    "{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F21}": "IPayment",
    "{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F22}": "IPaySetting",
    "{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F23}": "IPayAddress",
    "{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F24}": "IPayAddress2",
}


def registry_entries(dll):
    """Every key and value registration writes: (key, value name or None for the key
    alone, data). "" names the default value."""
    clsid = "CLSID\\" + CLSID
    entries = [
        ("Veltrano.PayManager.1", "", "CPayManager Object"),
        ("Veltrano.PayManager.1\\CLSID", "", CLSID),
        ("Veltrano.PayManager", "", "CPayManager Object"),
        ("Veltrano.PayManager\\CLSID", "", CLSID),
        ("Veltrano.PayManager\\CurVer", "", "Veltrano.PayManager.1"),
        (clsid, "", "CPayManager Object"),
        (clsid, "AppID", APPID),
        (clsid + "\\ProgID", "", "Veltrano.PayManager.1"),
        (clsid + "\\VersionIndependentProgID", "", "Veltrano.PayManager"),
        (clsid + "\\Programmable", None, None),
        (clsid + "\\InprocServer32", "", dll),
        (clsid + "\\InprocServer32", "ThreadingModel", "apartment"),
        (clsid + "\\TypeLib", "", LIBID),
        ("AppID\\" + APPID, "", "Ordexa"),
        ("AppID\\Ordexa.DLL", "AppID", APPID),
        ("TypeLib\\" + LIBID + "\\1.0", "", "Ordexa 1.0 Type Library"),
        ("TypeLib\\" + LIBID + "\\1.0\\409\\win64", "", dll),
    ]
    for iid, name in INTERFACES.items():
        entries.append(("Interface\\" + iid, "", name))
        entries.append(("Interface\\" + iid + "\\TypeLib", "", LIBID))
    return entries


# The subtrees that hold every entry above, read with one `reg query /s` each.
REGISTRY_ROOTS = ["Veltrano.PayManager.1", "Veltrano.PayManager", "CLSID\\" + CLSID, "AppID\\" + APPID,
                  "AppID\\Ordexa.DLL", "TypeLib\\" + LIBID] + ["Interface\\" + iid for iid in INTERFACES]


def windows_path(path):
    """The Z: drive of a fresh prefix is the Linux root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Wine:
    def __init__(self, prefix):
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": prefix,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            # A locale whose ANSI code page is 1252 (the early-bound client checks it).
            "LC_ALL": "C.UTF-8",
            "DISPLAY": "",
        })
        self.prefix = prefix

    def run(self, *args, check=True):
        code, out = run_quietly(["wine", *args], self.env)
        if check and code != 0:
            fail(f"wine {' '.join(args)} exited with {code}:\n{out}")
        return code, out

    def script(self, script, *args):
        """Runs a script with cscript; a syntax error is silent there, so the script's last
        line must be "done"."""
        _, out = self.run("cscript", "//nologo", windows_path(script), *args)
        lines = out.strip("\n").split("\n")
        if not lines or lines[-1].strip() != "done":
            fail(f"{os.path.basename(script)} did not finish (no final \"done\"):\n{out}")
        return lines[:-1]


def run_quietly(command, env, timeout=120):
    """Runs a command with its output in a file, not a pipe: the Wine services a command
    starts inherit its output and outlive it, and reading a pipe would wait for them."""
    with tempfile.TemporaryFile() as output:
        code = subprocess.run(command, env=env, stdout=output, stderr=subprocess.STDOUT, timeout=timeout).returncode
        output.seek(0)
        return code, output.read().decode("utf-8", "replace").replace("\r\n", "\n")


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def skip(message):
    print("SKIPPED: " + message)
    sys.exit(SKIP)


def require_tools(args):
    if args.command != "dll" and shutil.which("wine") is None:
        skip("wine is not installed (scripts/install-deps.sh installs it)")
    if args.dll and not os.path.isfile(args.dll):
        skip(f"{args.dll} is missing: build it with `make windows` "
             "(needs the MinGW-w64 cross compiler that scripts/install-deps.sh installs)")


# What ordexa.dll may import: Windows' own DLLs only, so the file ships alone.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "oleaut32.dll", "ole32.dll", "advapi32.dll", "user32.dll"}
ENTRY_POINTS = ["DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"]


def command_dll(args, wine):
    """The DLL's headers: 64-bit, the four entry points exported by name, no runtime DLL."""
    objdump = shutil.which("x86_64-w64-mingw32-objdump")
    if objdump is None:
        skip("x86_64-w64-mingw32-objdump is missing (the MinGW-w64 binutils)")
    headers = subprocess.run([objdump, "-p", args.dll], capture_output=True, check=True).stdout.decode()
    problems = []
    if "file format pei-x86-64" not in headers:
        problems.append("not a 64-bit Windows DLL")
    imports = {line.split(":", 1)[1].strip().lower() for line in headers.split("\n") if "DLL Name:" in line}
    if imports - SYSTEM_DLLS:
        problems.append(f"imports DLLs that do not come with Windows: {sorted(imports - SYSTEM_DLLS)}")
    table = headers.split("[Ordinal/Name Pointer] Table", 1)
    exports = sorted(line.split("]", 1)[1].strip() for line in table[1].split("\n\n", 1)[0].strip().split("\n")
                     if "]" in line) if len(table) == 2 else []
    if exports != ENTRY_POINTS:
        problems.append(f"exports {exports}, expected {ENTRY_POINTS}")
    problems += debug_information_problems(objdump, args.dll)
    if problems:
        fail("; ".join(problems))


def section_names(objdump, path):
    listing = subprocess.run([objdump, "-h", path], capture_output=True, check=True).stdout.decode()
    return [fields[1] for fields in (line.split() for line in listing.split("\n"))
            if len(fields) > 2 and fields[0].isdigit()]


def debug_information_problems(objdump, dll):
    """The shipped DLL carries no debug sections; debug information kept goes beside it
    into <dll>.debug, which the DLL's debug link names with its CRC-32."""
    sections = section_names(objdump, dll)
    debug_sections = [name for name in sections if name.startswith(".debug")]
    if debug_sections:
        return [f"carries debug sections {debug_sections} ({os.path.getsize(dll)} bytes): they belong in "
                f"{os.path.basename(dll)}.debug beside it"]
    separate = dll + ".debug"
    if not os.path.isfile(separate):
        return []
    if ".gnu_debuglink" not in sections:
        return [f"{os.path.basename(separate)} lies beside it, but the DLL has no debug link to it"]
    objcopy = shutil.which("x86_64-w64-mingw32-objcopy")
    if objcopy is None:
        return []
    with tempfile.TemporaryDirectory() as folder:
        link_file = os.path.join(folder, "link")
        subprocess.run([objcopy, "--dump-section", ".gnu_debuglink=" + link_file, dll, os.path.join(folder, "copy")],
                       capture_output=True, check=True)
        with open(link_file, "rb") as f:
            link = f.read()
    name = link.split(b"\0", 1)[0].decode("ascii", "replace")
    with open(separate, "rb") as f:
        crc = zlib.crc32(f.read())
    problems = []
    if name != os.path.basename(separate) or int.from_bytes(link[-4:], "little") != crc:
        problems.append(f"the debug link names {name!r} with CRC {link[-4:][::-1].hex()}, not "
                        f"{os.path.basename(separate)} beside it (CRC {crc:08x})")
    if not any(section == ".debug_info" for section in section_names(objdump, separate)):
        problems.append(f"{os.path.basename(separate)} holds no debug information")
    return problems


def command_prefix(args, wine):
    # A server left running by an interrupted run would keep serving the old prefix.
    command_shutdown(args, wine)
    shutil.rmtree(args.prefix, ignore_errors=True)
    run_quietly(["wineboot", "-i"], wine.env, timeout=300)
    if not os.path.isdir(os.path.join(args.prefix, "drive_c", "windows")):
        fail(f"wineboot did not create the prefix {args.prefix}")


def command_shutdown(args, wine):
    if os.path.isdir(args.prefix):
        run_quietly(["wineserver", "-k"], wine.env, timeout=60)


def read_registry(wine):
    """HKEY_CLASSES_ROOT below REGISTRY_ROOTS as {key (lower case): {value name (lower
    case): data}}; keys that do not exist are absent."""
    # No quotes: they do not survive the way to cmd, and no key here has a blank.
    queries = " & ".join(f'reg query HKCR\\{root} /s' for root in REGISTRY_ROOTS)
    _, out = wine.run("cmd", "/c", queries, check=False)
    keys = {}
    current = None
    for line in out.split("\n"):
        if line.startswith("HKEY_CLASSES_ROOT\\"):
            current = keys.setdefault(line[len("HKEY_CLASSES_ROOT\\"):].strip().lower(), {})
        elif current is not None and line.startswith("    ") and "    REG_" in line:
            name, rest = line.strip().split("    REG_", 1)
            data = rest.split("    ", 1)[1] if "    " in rest else ""
            current["" if name.strip() == "(Default)" else name.strip().lower()] = data
    return keys


def command_register(args, wine):
    dll = windows_path(args.dll)
    wine.run("regsvr32", "/s", dll)
    keys = read_registry(wine)
    wrong = []
    for key, name, data in registry_entries(dll):
        values = keys.get(key.lower())
        if values is None:
            wrong.append(f"missing key HKCR\\{key}")
        elif name is not None and values.get(name.lower()) != data:
            wrong.append(f"HKCR\\{key} value \"{name or '(Default)'}\": {values.get(name.lower())!r}, "
                         f"expected {data!r}")
    if wrong:
        fail("after regsvr32:\n  " + "\n  ".join(wrong))

    wine.run("regsvr32", "/s", "/u", dll)
    keys = read_registry(wine)
    left = sorted({key for key, _, _ in registry_entries(dll) if key.lower() in keys})
    if left:
        fail("after regsvr32 /u these keys are left:\n  " + "\n  ".join(left))
    for kept in ("CLSID", "AppID"):
        if wine.run("reg", "query", "HKCR\\" + kept, "/ve", check=False)[0] != 0:
            fail(f"regsvr32 /u removed HKCR\\{kept}, which registration must leave")

    # Registered again for the script and client tests of the run.
    wine.run("regsvr32", "/s", dll)


def command_early_bound(args, wine):
    os.makedirs(args.work, exist_ok=True)
    code, out = wine.run(args.client, windows_path(args.dll), windows_path(args.work), check=False)
    if code != 0 or not out.rstrip().endswith("done"):
        fail(f"early-bound client (exit {code}):\n{out}")


def same_file_as_payfile(args, windows_file, batch, payfile_args, stamp):
    """Writes the batch with payfile at the second the script reported, or the next one
    (the script may have crossed into it), and compares the bytes."""
    with open(windows_file, "rb") as f:
        written = f.read()
    reported = datetime.datetime.strptime(stamp, "%Y-%m-%dT%H:%M:%S")
    linux_file = windows_file + ".linux"
    tried = []
    for second in (reported, reported + datetime.timedelta(seconds=1)):
        now = second.strftime("%Y-%m-%dT%H:%M:%S")
        subprocess.run([args.payfile, "write", batch, *payfile_args, "--out", linux_file, "--now", now],
                       check=True, capture_output=True, timeout=60)
        with open(linux_file, "rb") as f:
            expected = f.read()
        if expected == written:
            return None
        tried.append(now)
    offset = next((i for i, (a, b) in enumerate(zip(written, expected)) if a != b), min(len(written), len(expected)))
    return (f"{os.path.basename(windows_file)} differs from payfile's (--now {' and '.join(tried)}) at byte "
            f"{offset} of {len(written)}/{len(expected)}:\n    Windows: {written[max(0, offset - 40):offset + 40]!r}\n"
            f"    Linux:   {expected[max(0, offset - 40):offset + 40]!r}")


def compare_script_files(args, wine, script, batch, payfile_args_by_file, expected_lines=None):
    """Runs the script, which prints "now <file> <time>" before each file it writes, and
    compares each file with payfile's; `expected_lines` are the script's other lines."""
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    lines = wine.script(script, windows_path(args.work))
    if expected_lines is not None:
        others = [line.rstrip() for line in lines if not line.startswith("now ")]
        if others != expected_lines:
            fail(f"{os.path.basename(script)} printed:\n  " + "\n  ".join(others) + "\nexpected:\n  " +
                 "\n  ".join(expected_lines))
    stamps = {}
    for line in lines:
        parts = line.split()
        if len(parts) == 3 and parts[0] == "now":
            stamps[parts[1]] = parts[2]
    differences = []
    for name, payfile_args in payfile_args_by_file.items():
        path = os.path.join(args.work, name)
        if name not in stamps or not os.path.isfile(path):
            differences.append(f"{name} was not written (script said: {lines})")
            continue
        difference = same_file_as_payfile(args, path, batch, payfile_args, stamps[name])
        if difference:
            differences.append(difference)
    if differences:
        fail("\n".join(differences))


def command_vbscript(args, wine):
    compare_script_files(args, wine, os.path.join(args.scripts, "every_kind.vbs"),
                         os.path.join(args.scripts, "data", "every_kind_1252.json"), {
                             "pay.dta": ["--type", "dta"],
                             "pay.ezag": ["--type", "ezag"],
                             "pay-ch.xml": ["--type", "iso", "--ch", "--period", "2023-03"],
                             "pay-generic.xml": ["--type", "iso", "--period", "2023-03"],
                         })


def command_iso2019(args, wine):
    """The structured address parts set late-bound and the 2019 ISO file in both flavours."""
    compare_script_files(args, wine, os.path.join(args.scripts, "iso2019.vbs"),
                         os.path.join(args.scripts, "data", "iso2019.json"), {
                             "pay2019-ch.xml": ["--type", "iso2019", "--ch", "--period", "2026-12"],
                             "pay2019-generic.xml": ["--type", "iso2019", "--period", "2026-12"],
                         }, expected_lines=["parts Werkstrasse|14|6030|Ebikon|CH"])


def command_jscript(args, wine):
    compare_script_files(args, wine, os.path.join(args.scripts, "unicode.js"),
                         os.path.join(args.scripts, "data", "unicode.json"), {
                             "pay-unicode.xml": ["--type", "iso", "--ch", "--period", "2023-03"],
                         })


def command_errors(args, wine):
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    # A folder holds the name of the ISO file: the document is written to "taken.xml.tmp",
    # and replacing the folder with it fails.
    taken = os.path.join(args.work, "taken.xml")
    os.makedirs(taken)
    lines = wine.script(os.path.join(args.scripts, "errors.vbs"), windows_path(args.work))
    # VBScript's own numbers for the dispatch failures: 438 for an unknown name
    # (DISP_E_UNKNOWNNAME), 13 for DISP_E_TYPEMISMATCH; WriteFile absorbs the failures of
    # the old file types. The 2019 ISO file's failures are runtime errors with the
    # component's status and message (line feeds shown as "/"): the refusals' reasons are
    # the writer's, so only their fixed start is compared.
    expected = [
        ("unknown-member 1B6 Object doesn't support this property or method", True),
        ("type-mismatch D Type mismatch", True),
        ("missing-folder 0", True),
        ("name-taken 0", True),
        ("iso2019-refused 800407D3 Die Zahlung 1 kann nicht in die Datei pain.001.001.09 geschrieben werden./", False),
        ("iso2019-empty 800407D4 Die Datei pain.001.001.09 kann nicht geschrieben werden./", False),
        ("iso2019-missing-folder 80070003 Ein Fehler beim erstellen der folgenden Datei ist aufgetreten./"
         "Status = 0x80070003//" + windows_path(os.path.join(args.work, "missing", "pay.xml")), False),
    ]
    got = [line.rstrip() for line in lines]
    matches = len(got) == len(expected) and all(
        line == text if whole else line.startswith(text) for line, (text, whole) in zip(got, expected))
    if not matches:
        fail("script errors:\n  got      " + "\n           ".join(got) + "\n  expected " +
             "\n           ".join(text + ("" if whole else "...") for text, whole in expected))
    # Nothing in the missing folder; the folder that took the name untouched, and the whole
    # document left in the temporary file.
    if sorted(os.listdir(args.work)) != ["taken.xml", "taken.xml.tmp"] or os.listdir(taken):
        fail(f"after the failed writes the work folder holds {sorted(os.listdir(args.work))}, "
             f"the folder taken.xml {os.listdir(taken) if os.path.isdir(taken) else 'is gone'}")
    with open(taken + ".tmp", "rb") as f:
        document = f.read()
    if not document.startswith(b"<?xml") or not document.rstrip().endswith(b"</Document>"):
        fail(f"taken.xml.tmp does not hold a whole document: {document[:80]!r} ... {document[-80:]!r}")


def readme_example(readme):
    """The text of the ```vb block in the README's section "On Windows"."""
    with open(readme, encoding="utf-8") as f:
        text = f.read()
    section = text.split("\n## On Windows\n", 1)
    if len(section) != 2:
        fail(f"{readme} has no section \"## On Windows\"")
    section = section[1].split("\n## ", 1)[0]
    blocks = section.split("\n```vb\n")[1:]
    if len(blocks) != 1 or "\n```" not in blocks[0]:
        fail(f"the section \"On Windows\" of {readme} holds {len(blocks)} ```vb blocks, expected one closed block")
    example = blocks[0].split("\n```", 1)[0] + "\n"
    if not example.isascii():
        fail("the README's VBScript example is not ASCII: Wine's cscript reads script files as ASCII only "
             "and Windows' in the ANSI code page")
    return example


def run_example(wine, folder, example, taken=None):
    """Puts the example into a fresh folder as lohn.vbs, beside a folder named `taken` if
    given, and runs it: (exit code, lines printed)."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, taken) if taken else folder)
    script = os.path.join(folder, "lohn.vbs")
    with open(script, "w", encoding="ascii", newline="\r\n") as f:
        f.write(example)
    code, out = wine.run("cscript", "//nologo", windows_path(script), check=False)
    return code, [line for line in out.strip("\n").split("\n") if line]


def command_readme(args, wine):
    """The README's VBScript example, taken from the README as it stands and run unchanged
    in a fresh prefix: it writes a 2019 Swiss file beside itself that passes the Swiss
    schema and says so; when the file cannot be written it says why and ends with a failure."""
    if shutil.which("xmllint") is None:
        skip("xmllint is missing (libxml2-utils)")
    if not os.path.isfile(args.schema):
        skip(f"the Swiss schema {args.schema} is missing")
    example = readme_example(args.readme)

    written = os.path.join(args.work, "written")
    code, lines = run_example(wine, written, example)
    files = sorted(set(os.listdir(written)) - {"lohn.vbs"})
    # A syntax error ends cscript silently with exit 0: the example must say where its file went.
    if code != 0 or len(files) != 1 or not lines or not lines[-1].endswith(windows_path(os.path.join(written, files[0]))):
        fail(f"the README example (exit {code}) printed {lines} and left {files} beside itself; "
             "expected one file and its name printed last")
    document = os.path.join(written, files[0])
    valid = subprocess.run(["xmllint", "--noout", "--schema", args.schema, document], capture_output=True)
    if valid.returncode != 0:
        fail(f"{files[0]} of the README example fails {os.path.basename(args.schema)}:\n"
             f"{valid.stderr.decode('utf-8', 'replace')}")
    namespace = {"p": "urn:iso:std:iso:20022:tech:xsd:pain.001.001.09"}
    for creditor in xml.etree.ElementTree.parse(document).getroot().iterfind(".//p:Cdtr", namespace):
        if creditor.find("p:PstlAdr/p:StrtNm", namespace) is None or creditor.find("p:PstlAdr/p:TwnNm", namespace) is None:
            fail(f"{files[0]}: the receiver {creditor.findtext('p:Nm', '', namespace)!r} has no street or town")

    # The same example where a folder holds its file's name: the write fails, and the example
    # reports it and ends with a failure, leaving the folder as it was.
    refused = os.path.join(args.work, "refused")
    code, lines = run_example(wine, refused, example, taken=files[0])
    left = sorted(os.listdir(refused))
    if code == 0 or not lines or "0x80070005" not in " ".join(lines) or left != sorted(["lohn.vbs", files[0]]) or \
            os.listdir(os.path.join(refused, files[0])):
        fail(f"the README example, its file's name taken by a folder, ended with exit {code}, printed {lines} "
             f"and left {left}; expected a failure exit, the reason (status 0x80070005) and nothing new")


COMMANDS = {
    "dll": command_dll,
    "prefix": command_prefix,
    "shutdown": command_shutdown,
    "register": command_register,
    "early-bound": command_early_bound,
    "vbscript": command_vbscript,
    "jscript": command_jscript,
    "iso2019": command_iso2019,
    "errors": command_errors,
    "readme": command_readme,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("command", choices=sorted(COMMANDS))
    parser.add_argument("--prefix", required=True, help="the Wine prefix of the run")
    parser.add_argument("--dll", help="ordexa.dll of the Windows build")
    parser.add_argument("--client", help="the early-bound client program")
    parser.add_argument("--payfile", help="the Linux payfile tool")
    parser.add_argument("--scripts", help="folder of the scripts and batches")
    parser.add_argument("--work", help="folder for the files of this test")
    parser.add_argument("--readme", help="README.md, whose Windows example the test runs")
    parser.add_argument("--schema", help="the XML schema the README example's file must pass")
    args = parser.parse_args()
    if args.command == "shutdown":
        if shutil.which("wineserver"):
            command_shutdown(args, Wine(args.prefix))
        return
    require_tools(args)
    COMMANDS[args.command](args, Wine(args.prefix))
    print(f"{args.command}: ok")


if __name__ == "__main__":
    main()
