#!/usr/bin/env python3
"""The batch schema, the batch reader and the README agree.

Run by ctest: batch_schema_test.py PAYFILE SOURCE_DIR. Checks that `payfile schema` is a
valid JSON Schema; that the demo batch, the test batches and the README example validate
against it; that every mistake of tests/tools/data/refused_batches.json the schema can
express is refused by it (and that the others are indeed beyond it); and that the README
example is a batch payfile takes without a warning.
"""
import json
import pathlib
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
    payfile, source = sys.argv[1], pathlib.Path(sys.argv[2])
    printed = run(payfile, "schema")
    if printed.returncode != 0:
        fail("payfile schema: " + printed.stderr)
    schema = json.loads(printed.stdout)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)

    def refusals(batch):
        return [error.message for error in validator.iter_errors(batch)]

    with tempfile.TemporaryDirectory() as folder:
        demo = run(payfile, "demo", folder)
        if demo.returncode != 0:
            fail("payfile demo: " + demo.stderr)
        accepted = {"demo batch.json": json.loads(pathlib.Path(folder, "batch.json").read_text(encoding="utf-8"))}
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
        for options in (["--type", "dta"], ["--type", "iso", "--ch", "--period", "2024-06"]):
            checked = run(payfile, "check", str(path), *options)
            if checked.returncode != 0:
                fail(f"payfile check of the README example with {options}: {checked.stdout}{checked.stderr}")

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


if __name__ == "__main__":
    main()
