#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the sequence fuzz targets.

The targets read their choices with clang's FuzzedDataProvider, which takes
integers from the end of the input backwards (the first choice is the last
byte) and raw bytes from the front. Each seed below is a list of choices,
written in the order the target makes them.

usage: fuzz/sequences/make_seeds.py   (from anywhere; rewrites the seed files)
"""

from pathlib import Path

CORPUS = Path(__file__).resolve().parent.parent / "corpus"


class Choices:
    def __init__(self):
        self.tail = bytearray()  # integer choices, in the order they are made

    def pick(self, value, count):
        """A choice among count possibilities (ConsumeIntegralInRange and
        PickValueInArray over fewer than 257 values: one byte)."""
        assert 0 <= value < count <= 256
        self.tail.append(value)
        return self

    def integer(self, value, low, high):
        """ConsumeIntegralInRange(low, high) over any range."""
        span = high - low
        width = 0
        while width < 8 and (span >> (8 * width)) > 0:
            width += 1
        for i in reversed(range(width)):  # most significant byte read first
            self.tail.append(((value - low) >> (8 * i)) & 0xFF)
        return self

    def flag(self, value):
        return self.pick(1 if value else 0, 2)

    def probability(self, value):
        """ConsumeProbability<double>: eight bytes."""
        return self.integer(int(value * (2**64 - 1)), 0, 2**64 - 1)

    def data(self):
        return bytes(reversed(self.tail))


# host_sequence: step numbers as HostSession's dispatch reads them.
SETUP, BUSES, ACTIVE, PROCESSING, PROCESS, FLUSH, LOAD, SAVE, LATENCY, EDIT, PROBE = 0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11
RATE_44100, RATE_48000, RATE_96000 = 4, 5, 7
BLOCK_512 = 6
MONO, STEREO, SURROUND51 = 0, 1, 2


def setup(c, rate, block_index, double=False):
    c.pick(SETUP, 12).pick(1, 16).pick(rate, 12).flag(True).pick(block_index, 9).flag(not double).pick(0, 2)


def buses(c, arrangement):
    c.pick(BUSES, 12).pick(arrangement, 8).pick(arrangement, 8).flag(True).pick(0, 8).pick(1, 3).pick(1, 3)


def activate(c, on):
    c.pick(ACTIVE, 12).flag(on)


def process(c, frames, block, queues=(), kind=1):
    c.pick(PROCESS, 12).integer(frames, 0, block).flag(True)
    c.pick(len(queues), 5)
    for parameter, points in queues:
        c.pick(parameter, 8).pick(len(points) - 1, 5)
        for offset_step, value_choice in points:
            c.pick(1, 6).integer(offset_step, 0, frames)
            c.pick(value_choice, 12)
            if value_choice == 8:
                c.flag(True)
            if value_choice >= 9:
                c.probability(0.3)
    c.pick(1, 8)  # the queues are given
    c.pick(kind, 6).probability(0.5).integer(12345, 0, 2**32 - 1)


def host_sequence_seeds():
    seeds = {}

    c = Choices()  # the usual start and a few blocks, then the latency probe
    buses(c, STEREO)
    setup(c, RATE_48000, BLOCK_512)
    activate(c, True)
    c.pick(PROCESSING, 12).flag(True)
    for _ in range(3):
        process(c, 512, 512)
    c.pick(LATENCY, 12).pick(PROBE, 12)
    seeds["start_process_probe"] = c.data()

    c = Choices()  # automation of every parameter, with a NaN and a value past 1
    buses(c, STEREO)
    setup(c, RATE_44100, BLOCK_512)
    activate(c, True)
    process(c, 256, 512, queues=[(0, [(0, 8)]), (1, [(10, 9), (100, 1)]), (2, [(0, 0), (5, 4)]),
                                 (4, [(3, 10)])])
    process(c, 512, 512, queues=[(1, [(0, 8)])])
    c.pick(PROBE, 12)
    seeds["automation_odd_values"] = c.data()

    c = Choices()  # state saved, loaded damaged and whole, in mono at 96 kHz in 64 bit
    buses(c, MONO)
    setup(c, RATE_96000, BLOCK_512, double=True)
    activate(c, True)
    process(c, 300, 512)
    c.pick(SAVE, 12).pick(LOAD, 12).pick(1, 3).pick(2, 4).integer(5, 0, 200).pick(0x7B, 256)
    c.pick(2, 256).integer(10, 0, 200).pick(0, 256).flag(False)
    c.pick(LOAD, 12).pick(0, 3)
    process(c, 512, 512)
    c.pick(PROBE, 12)
    seeds["mono_state_reload"] = c.data()

    c = Choices()  # a Speed change through the controller, then reactivation in 5.1
    buses(c, STEREO)
    setup(c, RATE_48000, BLOCK_512)
    activate(c, True)
    c.pick(EDIT, 12).pick(1, 6).pick(8, 12).flag(False)
    process(c, 512, 512)
    c.pick(PROBE, 12)
    activate(c, False)
    buses(c, SURROUND51)
    setup(c, RATE_44100, BLOCK_512)
    activate(c, True)
    process(c, 100, 512)
    c.pick(PROBE, 12)
    seeds["speed_edit_then_surround"] = c.data()
    return seeds


# editor_input: step numbers as the target's dispatch reads them.
DOWN, MOVE, UP, CANCEL, WHEEL, KEY_DOWN, KEY_UP, SCALE, HOST, KNOB_MODE, TIME, RENDER, MENU, ASK = (
    0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14)


def point(c, x, y):
    c.integer(x, -50, 1100).integer(y, -50, 600)


def editor_input_seeds():
    seeds = {}
    # Where the first knob lies at a scale of 1 (the frame is 500 by 256).
    knob = (66, 86)

    c = Choices()  # a drag on a knob, drawn, released
    c.pick(DOWN, 16)
    point(c, *knob)
    c.integer(0, 0, 65535).flag(True)
    for dy in (0, -20, -40, -60):
        c.pick(MOVE, 16)
        point(c, knob[0] + 10, knob[1] + dy)
        c.flag(True).integer(0, 0, 65535)
    c.pick(RENDER, 16).pick(UP, 16)
    point(c, knob[0] + 10, knob[1] - 60)
    c.flag(True)
    seeds["knob_drag"] = c.data()

    c = Choices()  # wheel notches, time passing, keys, at twice the scale
    c.pick(SCALE, 16).flag(True).pick(3, 10)
    c.pick(MOVE, 16)
    point(c, 2 * knob[0], 2 * knob[1])
    c.flag(False).integer(0, 0, 65535)
    for _ in range(3):
        c.pick(WHEEL, 16).pick(0, 8).flag(True)
    c.pick(TIME, 16).pick(3, 5)
    c.pick(KEY_DOWN, 16).pick(1, 12).pick(0, 16)  # Tab gives a knob the focus
    c.pick(KEY_DOWN, 16).pick(6, 12).pick(0, 16)
    c.pick(KEY_UP, 16).flag(True).pick(0, 16)
    c.pick(RENDER, 16)
    seeds["wheel_keys_scaled"] = c.data()

    c = Choices()  # a right click for the menu, a reset chosen, the host moving a knob mid-drag
    c.pick(DOWN, 16)
    point(c, *knob)
    c.integer(1 << 3, 0, 65535).flag(False)
    c.pick(MENU, 16).flag(True).pick(0, 1)
    c.pick(DOWN, 16)
    point(c, *knob)
    c.integer(0, 0, 65535).flag(True)
    c.pick(HOST, 16).pick(2, 6).pick(10, 12).probability(0.9)
    c.pick(MOVE, 16)
    point(c, knob[0] - 30, knob[1])
    c.flag(True).integer(0, 0, 65535)
    c.pick(KEY_DOWN, 16).pick(2, 12).pick(0, 16)  # Escape ends the drag where it began
    c.pick(UP, 16)
    point(c, knob[0] - 30, knob[1])
    c.flag(True)
    seeds["menu_reset_and_escape"] = c.data()
    return seeds


def write(target, seeds):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in seeds.items():
        (folder / name).write_bytes(data)


if __name__ == "__main__":
    write("host_sequence", host_sequence_seeds())
    write("editor_input", editor_input_seeds())
