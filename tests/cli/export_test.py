#!/usr/bin/python3
"""sonavist-cli export: the files against the single dumps, the .mid read back with mido, and the
target left as it was on every error.

usage: export_test.py CLI BANKS_DIR EXPECTED_DIR NO_ELEMENTS_BANK SCRATCH_DIR
"""
import functools
import math
import os
import subprocess
import sys
import unittest
from fractions import Fraction

import mido

CLI, BANKS, EXPECTED, NO_ELEMENTS, SCRATCH = sys.argv[1:6]
DRUMS = "Sorry, no drums yet."
NO_ELEMENT = "Problem assembling patch."


def bank(name):
    return NO_ELEMENTS if name == "NoElements" else os.path.join(BANKS, name + ".s1v")


def run(*args):
    return subprocess.run([CLI, *args], capture_output=True)


@functools.lru_cache(maxsize=None)
def single_dump(bank_name, slot):
    """What `dump` writes for the slot, or None when it refuses the voice."""
    result = run("dump", bank(bank_name), slot)
    return result.stdout if result.returncode == 0 else None


def all_slots():
    return [f"I{b}-{n:03d}" for b in (1, 2) for n in range(1, 129)]


def ticks_after(length):
    """Cable time at 31,250 baud, ten bits a byte, plus 500 ms, in ticks of 480 a half second."""
    return math.ceil((Fraction(length * 10, 31250) + Fraction(1, 2)) * 960)


def variable_length(value):
    groups = [value & 0x7F]
    while value > 0x7F:
        value >>= 7
        groups.insert(0, 0x80 | (value & 0x7F))
    return bytes(groups)


def expected_file(dumps):
    """The file written independently: mido drops each closing F7, this keeps every byte."""
    track, delta = b"", 0
    for dump in dumps:
        track += variable_length(delta) + b"\xf0" + variable_length(len(dump) - 1) + dump[1:]
        delta = ticks_after(len(dump))
    track += variable_length(delta) + b"\xff\x2f\x00"
    header = b"MThd" + (6).to_bytes(4, "big") + bytes([0, 0, 0, 1, 480 >> 8, 480 & 0xFF])
    return header + b"MTrk" + len(track).to_bytes(4, "big") + track


class ExportTest(unittest.TestCase):
    def setUp(self):
        self.dir = os.path.join(SCRATCH, "export-" + self.id().rsplit(".", 1)[-1])
        os.makedirs(self.dir, exist_ok=True)

    def export(self, bank_name, slots, name):
        path = os.path.join(self.dir, name)
        return path, run("export", bank(bank_name), *slots, "-o", path)

    # bank, slots named (none: all), the slots skipped with their reason, in order.
    CASES = [
        ("Demo1", ["I1-001", "I2-128"], []),
        ("Demo2", ["I1-101", "I1-003", "I1-101"], []),
        ("Demo1", ["I1-022", "I1-001", "I2-064", "I1-022"],
         [("I1-022", DRUMS), ("I2-064", DRUMS), ("I1-022", DRUMS)]),
        ("NoElements", ["I1-001", "I1-002"], [("I1-001", NO_ELEMENT)]),
        ("Demo1", [], [("I1-022", DRUMS), ("I2-064", DRUMS)]),
        ("NoElements", [], [("I1-001", NO_ELEMENT)]),
    ]

    def test_syx_is_the_dumps_one_after_another(self):
        for bank_name, slots, skipped in self.CASES:
            with self.subTest(bank=bank_name, slots=slots):
                path, result = self.export(bank_name, slots, "out.syx")
                self.assertEqual(result.returncode, 0, result.stderr)
                expected_err = "".join(f"{slot}: {reason}\n" for slot, reason in skipped)
                self.assertEqual(result.stderr.decode(), expected_err)
                self.assertEqual(result.stdout, b"")
                dumps = [single_dump(bank_name, s) for s in (slots or all_slots())]
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), b"".join(d for d in dumps if d is not None))

    def test_syx_matches_the_checked_in_dumps(self):
        path, result = self.export("Demo1", ["I2-128", "I1-001"], "pair.SYX")
        self.assertEqual(result.returncode, 0, result.stderr)
        expected = b""
        for slot in ("I2-128", "I1-001"):
            with open(os.path.join(EXPECTED, f"dump-Demo1-{slot}.syx"), "rb") as f:
                expected += f.read()
        with open(path, "rb") as f:
            self.assertEqual(f.read(), expected)

    def test_mid_holds_each_dump_after_the_previous_has_left(self):
        for bank_name, slots, _ in self.CASES:
            with self.subTest(bank=bank_name, slots=slots):
                path, result = self.export(bank_name, slots, "out.mid")
                self.assertEqual(result.returncode, 0, result.stderr)
                dumps = [d for d in (single_dump(bank_name, s) for s in (slots or all_slots())) if d]
                song = mido.MidiFile(path)
                self.assertEqual((song.type, song.ticks_per_beat, len(song.tracks)), (0, 480, 1))
                events = list(song.tracks[0])
                self.assertEqual(len(events), len(dumps) + 1)
                expected_delta = 0
                for event, dump in zip(events, dumps):
                    self.assertEqual(event.type, "sysex")
                    self.assertEqual(event.time, expected_delta)
                    self.assertEqual(bytes(event.bytes()), dump)
                    expected_delta = ticks_after(len(dump))
                self.assertEqual(events[-1].type, "end_of_track")
                self.assertEqual(events[-1].time, expected_delta)
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), expected_file(dumps))

    def test_errors_leave_the_file_as_it_was(self):
        os.makedirs(os.path.join(self.dir, "taken.syx"), exist_ok=True)
        # arguments, exit status, the file to export to
        cases = [
            ([bank("Demo1"), "I1-022", "I2-064"], 1, "kept.syx"),
            ([bank("NoElements"), "I1-001"], 1, "kept.mid"),
            ([os.path.join(self.dir, "missing.s1v")], 1, "kept.syx"),
            ([os.path.join(BANKS, "Demo1.txt")], 1, "kept.mid"),
            ([bank("Demo1"), "I3-001"], 2, "kept.syx"),
            ([bank("Demo1"), "I1-001"], 2, "kept.txt"),
            ([bank("Demo1"), "I1-001"], 1, "taken.syx"),
        ]
        for args, status, name in cases:
            with self.subTest(args=args, file=name):
                path = os.path.join(self.dir, name)
                if name != "taken.syx":
                    with open(path, "wb") as f:
                        f.write(b"before")
                result = run("export", *args, "-o", path)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertNotEqual(result.stderr, b"")
                if name == "taken.syx":
                    self.assertTrue(os.path.isdir(path))
                else:
                    with open(path, "rb") as f:
                        self.assertEqual(f.read(), b"before")
                self.assertEqual([n for n in os.listdir(self.dir) if n.endswith(".tmp")], [])

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
