#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/ (run from anywhere).

Each seed is a real input in the layout its target's header describes: format texts the
explorer and the tests use, records the dialogue reads, values under the dialogue's formats,
typing and pasting sessions, and whole dialogues. The inputs of past findings are seeds here
too, so that every run tries them again.
"""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent


def write(target, name, data):
    directory = HERE / "corpus" / target
    directory.mkdir(parents=True, exist_ok=True)
    (directory / name).write_bytes(data if isinstance(data, bytes) else data.encode("latin-1"))


# Format compiler: any text.
formats = {
    "real-field": "(F20.10)",
    "dialogue-line": "(1X,A)",
    "settings": "(1X,A,I5,A,I5)",
    "nested-groups": "(1X,I5,3(1X,F8.3))",
    "answers": "(A1)",
    "lengths": "(I6)",
    "exponents-and-modes": "(E15.7E3,SP,2P,G12.4,SS,-1P,D25.16)",
    "literals-and-positions": "('it''s',5HHello,T10,TL2,TR3,/,:,$)",
    "every-data-descriptor": "(BZ,BN,S,Q,L2,O6.3,Z8,B16,EN12.3,ES12.3,I,F,A)",
    "endless-records": "(2147483647(2147483647(/)))",
    "deep-groups": "(1(2(3(4(5(6(7(I1))))))))",
    "unclosed": "(I5",
    "trailing-text": "(F20.10))x",
}
for name, text in formats.items():
    write("format_compiler_fuzzer", name, text)

# Formatted input: count-1, (descriptor index, variant) per descriptor, options, file text.
DESCRIPTORS = ["I5", "I1", "I6", "I12", "I4", "I7", "I", "F20.10", "F8.3", "F5.0", "F", "E12.4",
               "E15.7E3", "D25.16", "G15.7", "G10.3", "EN12.3", "ES12.3", "F10.2", "E9.2", "L2",
               "L7", "A", "A1", "A20", "A3", "O6", "Z8", "B16", "Z", "Q", "1X", "T5", "TL3", "TR2",
               "BN", "BZ", "2P", "-1P", "/", ":", "'xy'", "3Habc"]


def read_seed(descriptors, options, text):
    header = bytes([len(descriptors) - 1])
    for d in descriptors:
        header += bytes([DESCRIPTORS.index(d), 1])
    return header + bytes([options]) + text.encode("latin-1")


inputs = {
    "map-number": read_seed(["I1"], 0, "3\n"),
    "parameter": read_seed(["F20.10"], 0, "         3.9000000000\n"),
    "parameter-short": read_seed(["F20.10"], 0, "-0.5e-3\n"),
    "length": read_seed(["I6"], 0, " 10000\n"),
    "yes-no": read_seed(["A1"], 0, "y\n"),
    "two-records": read_seed(["I5", "/", "F8.3"], 0, "   12\r\n  1.2345\r\n"),
    "reversion": read_seed(["I5"], 2 << 1, "1\n2\n3\n"),
    "comma-ends-fields": read_seed(["I5", "F20.10", "L7"], 0, "1,2.5,.TRUE.\n"),
    "blank-zero-padded": read_seed(["BZ", "I6", "E12.4"], 8, "1 2\n"),
    "no-padding": read_seed(["I12"], 16, "12\n"),
    "non-advancing": read_seed(["A3", "Q"], 32, "abcdef\n"),
    "positions": read_seed(["T5", "I5", "TL3", "I1"], 0, "abcd12345\n"),
    "radix": read_seed(["O6", "Z8", "B16"], 0, "    17    ff      1010101010\n"),
    "control-z": read_seed(["I1"], 0, "\x1a\n"),
    "infinity-and-nan": read_seed(["F20.10", "E12.4"], 0, "Infinity NaN\n"),
}
for name, data in inputs.items():
    write("formatted_input_fuzzer", name, data)

# Formatted output: options, (kind, 8 value bytes) per item, buffer width, format.
INTEGER4, INTEGER8, REAL8 = 2, 3, 5


def item(kind, value):
    if kind == REAL8:
        return bytes([kind]) + struct.pack("<d", value)
    return bytes([kind]) + struct.pack("<q", value)


def write_seed(items, width, format_text, to_window=False):
    options = (1 if to_window else 0) | ((len(items) - 1) << 1)
    return bytes([options]) + b"".join(item(k, v) for k, v in items) + bytes([width]) + format_text.encode()


outputs = {
    "series-value": write_seed([(REAL8, 0.123456789012345)], 20, "(F20.10)"),
    "series-negative": write_seed([(REAL8, -3.75)], 20, "(F20.10)"),
    "series-too-large": write_seed([(REAL8, 1e300)], 20, "(F20.10)"),
    "settings": write_seed([(INTEGER4, 1000), (INTEGER4, 10000)], 40, "(1X,'Ntrans = ',I5,', N = ',I5)"),
    "exponent-forms": write_seed([(REAL8, 6.02214076e23), (REAL8, 5e-324)], 80, "(E15.7E3,1X,ES12.3,1X,EN12.3)"),
    "general-and-scale": write_seed([(REAL8, 0.1), (REAL8, 123456.0)], 60, "(SP,2P,G15.7,SS,-1P,D25.16)"),
    "radix": write_seed([(INTEGER8, -1), (INTEGER4, 255)], 100, "(O23,1X,Z8.8,1X,B32)"),
    "window-records": write_seed([(REAL8, 2.5), (INTEGER4, 7), (REAL8, float("nan"))], 0, "(1X,F8.3/I5)", True),
    "window-reversion": write_seed([(INTEGER4, 1), (INTEGER4, 2), (INTEGER4, 3)], 0, "(1X,I2)", True),
    "infinity": write_seed([(REAL8, float("inf"))], 10, "(F10.3)"),
    # Found by a long run: hundreds of thousands of records per item (a timeout, not a fault).
    "window-many-records": write_seed([(INTEGER4, 5), (INTEGER4, 6), (INTEGER4, 7)], 0, "(856823/I5)", True),
}
for name, data in outputs.items():
    write("formatted_output_fuzzer", name, data)

# Console line input: typed bytes, "~r" + size index, "~p" + length + text, "~c", "~f" + key.
READ_1024, READ_1, READ_128 = 10, 1, 7


def paste(text):
    return "~p" + chr(len(text)) + text


sessions = {
    "answer": "~r" + chr(READ_1024) + "3\r",
    "carried-over": "~r" + chr(READ_1) + "yes\r~r" + chr(2) + "~r" + chr(READ_1024),
    "limit-beeps": "~r" + chr(READ_1024) + "k" * 130 + "\r",
    "backspace": "~r" + chr(READ_1024) + "ab\bc\r",
    "tab-near-limit": "~r" + chr(READ_1024) + "t" * 120 + "\t\r",
    "pause-and-resume": "~r" + chr(READ_128) + "1\x132\x113\r",
    "paste-two-lines": "~r" + chr(READ_1024) + paste("first\nsecond\n") + "~r" + chr(READ_1024),
    "paste-before-read": paste("0.5\n\t1\r2\n") + "~r" + chr(READ_128) + "~r" + chr(READ_128),
    "paste-open-line": "~r" + chr(READ_1024) + paste("ab") + "cd\r",
    "paste-cleared": paste("x\ny\n") + "~c~r" + chr(READ_1024) + "z\r",
    "function-key": "~r" + chr(READ_1024) + "12~f\x01",
    "long-paste": "~r" + chr(READ_1024) + paste("\t" * 20 + "y" * 100 + "\n"),
}
for name, data in sessions.items():
    write("console_line_input_fuzzer", name, data)

# Dialogue: one answer per line.
dialogues = {
    "logistic-once": "1\n3.9\n0.1\ny\n10\n20\nn\nn\nn\nn\n",
    "henon-with-noise": "2\n1.4\n0.3\n0.1\n0.1\n1\ny\n0\n5\ny\n0.01\nn\nn\nn\n",
    "incorrect-answers": "0\nx\n9\n1\nabc\n3.5\n0.2\nY\nmaybe\nn\n",
    "record-again": "1\n3.2\n0.5\ny\n3\n4\nn\ny\ny\n1\n2\nn\nn\ny\n3.3\n0.4\nn\nn\nn\nn\n",
    "value-too-large-for-its-field": "1\n.3+053\n1\n",
    "every-map": "3\n\n\n\n\n\n\n\n\n\n\n\ny\n\n\n\n\n\n\ny\n4\n\n\n\n\n\ny\n5\n",
}
for name, text in dialogues.items():
    write("dialogue_fuzzer", name, text)
