#!/usr/bin/env python3
"""The batch schema, the batch reader and the README agree.

Run by ctest: batch_schema_test.py PAYFILE SOURCE_DIR [XSD_DIR]. Checks that `payfile
schema` is a valid JSON Schema; that the demo batch, the test batches and the README example
validate against it; that every mistake of tests/tools/data/refused_batches.json the schema
can express is refused by it (and that the others are indeed beyond it); that the README
example is a batch payfile takes without a warning; and, with the ISO schemas in XSD_DIR,
that each ISO warning tells the truth: the file written despite it is refused by the
schema, while the README example's files are valid, and that the 2019 ISO files of the
demo and of the README example are valid against the 2019 schemas.
"""
import copy
import json
import pathlib
import shutil
import re
import subprocess
import sys
import tempfile

import jsonschema


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def run(payfile, *args, cwd=None):
    return subprocess.run([payfile, *args], cwd=cwd, capture_output=True, text=True)


def main():
    payfile, source = str(pathlib.Path(sys.argv[1]).resolve()), pathlib.Path(sys.argv[2])
    printed = run(payfile, "schema")
    if printed.returncode != 0:
        fail("payfile schema: " + printed.stderr)
    schema = json.loads(printed.stdout)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)

    def refusals(batch):
        return [error.message for error in validator.iter_errors(batch)]

    demo_folder = tempfile.TemporaryDirectory()
    folder = demo_folder.name
    demo = run(payfile, "demo", folder, "--now", "2026-12-20T10:00:00")
    if demo.returncode != 0:
        fail("payfile demo: " + demo.stderr)
    accepted = {name: json.loads(pathlib.Path(folder, name).read_text(encoding="utf-8"))
                for name in ("batch.json", "batch-2019.json")}
    data = source / "tests" / "tools" / "data"
    accepted["every_kind.json"] = json.loads((data / "every_kind.json").read_text(encoding="utf-8"))

    readme = (source / "README.md").read_text(encoding="utf-8")
    section = readme.split("## Batch format", 1)
    if len(section) != 2:
        fail("README.md has no section \"Batch format\"")
    example = re.search(r"```json\n(.*?)```", section[1], re.S)
    if not example:
        fail("the Batch format section of README.md has no json example")
    accepted["README example"] = json.loads(example.group(1))

    for name, batch in accepted.items():
        errors = refusals(batch)
        if errors:
            fail(f"{name} does not validate: {errors}")

    # The README example is a batch to start from: no warning in the formats it names.
    with tempfile.TemporaryDirectory() as folder:
        path = pathlib.Path(folder, "batch.json")
        path.write_text(example.group(1), encoding="utf-8")
        for options in (["--type", "dta"], ["--type", "iso", "--ch", "--period", "2024-06"],
                        ["--type", "iso2019", "--ch", "--period", "2026-12", "--now", "2026-12-20T10:00:00"]):
            checked = run(payfile, "check", str(path), *options)
            if checked.returncode != 0:
                fail(f"payfile check of the README example with {options}: {checked.stdout}{checked.stderr}")

    if len(sys.argv) > 3 and shutil.which("xmllint") and pathlib.Path(sys.argv[3], "pain.001.001.03.xsd").exists():
        check_iso_warnings(payfile, pathlib.Path(sys.argv[3]), accepted["README example"])
        check_2019_files(payfile, pathlib.Path(sys.argv[3]), demo_folder.name, example.group(1))
    else:
        print("skipped: the ISO warnings against the XML schemas (needs xmllint and the schemas)")

    demo_folder.cleanup()

    cases = json.loads((data / "refused_batches.json").read_text(encoding="utf-8"))["cases"]
    refused = beyond = 0
    for case in cases:
        label = case["message"] or case.get("text", "")
        if case.get("schema"):
            if "batch" not in case:
                fail(f"{label}: a case the schema refuses must give its batch as JSON")
            if not refusals(case["batch"]):
                fail(f"{label}: the reader refuses this batch, the schema does not")
            refused += 1
        elif "schema_cannot" not in case:
            fail(f"{label}: says neither schema nor schema_cannot")
        elif "batch" in case and not refusals(case["batch"]):
            beyond += 1  # beyond a schema, as the case says
        elif "batch" in case:
            fail(f"{label}: the schema refuses it after all: mark it \"schema\": true")
    print(f"ok: {len(accepted)} batches validate, {refused} mistakes refused by the schema, "
          f"{beyond} beyond it, {len(cases) - refused - beyond} not JSON")


def check_iso_warnings(payfile, xsd_dir, example):
    """Each row changes the README example in one way the ISO schemas refuse."""
    def first(batch):
        return batch["payments"][0]

    rows = [
        ("a clean batch", None, lambda b: None, True),
        ("a clean batch", None, lambda b: None, False),
        ("negative amount", "is negative", lambda b: first(b).update(Amount="-5"), False),
        ("foreign IBAN without BIC", "is empty for the foreign IBAN",
         lambda b: first(b)["BankDst"].update(Account="DE89 3704 0044 0532 0130 00"), True),
        ("short BIC", "which is not a BIC",
         lambda b: first(b)["BankDst"].update(BIC="BANKCH"), True),
        ("long name, Swiss", "the Swiss ISO schema allows at most 70",
         lambda b: first(b)["Receiver"].update(Name1="A" * 71), True),
        ("long name, generic", "the generic ISO schema allows at most 140",
         lambda b: first(b)["Receiver"].update(Name1="A" * 141), False),
        ("long street", "allows at most 70 in <AdrLine>",
         lambda b: first(b)["Receiver"].update(Street="S" * 71), False),
        ("long reason", "allows at most 140 in <Ustrd>",
         lambda b: first(b).update(Reason="R" * 141), False),
        ("euro sign", "outside the character set of the Swiss ISO schema",
         lambda b: first(b).update(Reason="Bonus \u20ac 500"), True),
        ("no city", "the empty <AdrLine>", lambda b: first(b)["Receiver"].pop("City"), False),
        ("city without postcode", "no two-letter country code",
         lambda b: first(b)["Receiver"].update(City="Bern"), False),
        ("debtor IBAN with blanks", "give the IBAN without blanks",
         lambda b: first(b)["BankSrc"].update(Account="CH93 0076 2011 6238 5295 7"), True),
        ("invalid IBAN", "an empty <IBAN> element",
         lambda b: first(b)["BankDst"].update(Account="CH5604835012345678008"), False),
        ("no receiver name", "the empty <Nm>", lambda b: first(b)["Receiver"].pop("Name1"), True),
        ("EUR batch with a postal payment", "get an empty <BIC> element",
         lambda b: (b["settings"].update(CostCurrency="EUR"), b["payments"][1].update(PayType="payRedBank")), False),
    ]
    for what, warning, change, swiss in rows:
        batch = copy.deepcopy(example)
        change(batch)
        with tempfile.TemporaryDirectory() as folder:
            pathlib.Path(folder, "batch.json").write_text(json.dumps(batch), encoding="utf-8")
            options = ["--ch"] if swiss else []
            # Written before the example's payment day, which is then no day in the past.
            written = run(payfile, "write", "batch.json", "--type", "iso", "--period", "2024-06", "--out", "pay.xml",
                          "--now", "2026-12-20T09:00:00", *options, cwd=folder)
            if written.returncode != 0:
                fail(f"{what}: payfile write: {written.stderr}")
            if warning is None and written.stderr:
                fail(f"{what}: warnings for a clean batch: {written.stderr}")
            if warning is not None and warning not in written.stderr:
                fail(f"{what}: no warning \"{warning}\" in: {written.stderr}")
            schema = xsd_dir / ("pain.001.001.03.ch.02.xsd" if swiss else "pain.001.001.03.xsd")
            valid = subprocess.run(["xmllint", "--noout", "--schema", str(schema), "pay.xml"], cwd=folder,
                                   capture_output=True, text=True).returncode == 0
            if valid != (warning is None):
                fail(f"{what}: the warning says {'nothing' if warning is None else warning!r}, "
                     f"but the schema {'accepts' if valid else 'refuses'} the file")
    print(f"ok: {len(rows)} ISO batches: the warnings agree with the XML schemas")


def check_2019_files(payfile, xsd_dir, demo_folder, example_text):
    """The demo's 2019 files and the README example written as a 2019 file pass their schemas."""
    schemas = {True: xsd_dir / "pain.001.001.09.ch.03.xsd", False: xsd_dir / "pain.001.001.09.xsd"}
    files = [(pathlib.Path(demo_folder, "salaries-2019-ch.xml"), True),
             (pathlib.Path(demo_folder, "salaries-2019.xml"), False)]
    with tempfile.TemporaryDirectory() as folder:
        pathlib.Path(folder, "batch.json").write_text(example_text, encoding="utf-8")
        for swiss in (True, False):
            name = "readme-ch.xml" if swiss else "readme.xml"
            written = run(payfile, "write", "batch.json", "--type", "iso2019", "--period", "2026-12", "--out", name,
                          "--now", "2026-12-20T10:00:00", "--strict", *(["--ch"] if swiss else []), cwd=folder)
            if written.returncode != 0:
                fail(f"the README example as {name}: {written.stderr}")
            files.append((pathlib.Path(folder, name), swiss))
        for path, swiss in files:
            valid = subprocess.run(["xmllint", "--noout", "--schema", str(schemas[swiss]), str(path)],
                                   capture_output=True, text=True)
            if valid.returncode != 0:
                fail(f"{path.name} is not valid against {schemas[swiss].name}: {valid.stderr}")
    print(f"ok: {len(files)} 2019 ISO files pass the 2019 schemas")


if __name__ == "__main__":
    main()
