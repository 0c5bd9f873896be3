"""Reads an export back with the tool its users read it with and compares it
with the recording it came from, read here straight from the recording's own
files ("Project.onp", "AI.ond", "DI.ond").

    read_back.py csv|hdf5|sr PROJECT_FOLDER EXPORT_FOLDER

Prints every difference and exits with 1 when there is one, or when a reader
is missing: a missing reader is a failure, never a skip.
"""
import re
import struct
import subprocess
import sys

import numpy as np


class Recording:
    """The description and data of a saved recording, in file order."""

    def __init__(self, folder):
        raw = open(folder + "/Project.onp", "rb").read()
        at = 0

        def take(fmt):
            nonlocal at
            values = struct.unpack_from("<" + fmt, raw, at)
            at += struct.calcsize("<" + fmt)
            return values

        def text():
            nonlocal at
            end = raw.index(b"\0", at)
            value = raw[at:end].decode("latin-1")
            at = end + 1
            return value

        self.ai, self.di, self.soft, self.floats = (v != 0 for v in take("hhhh"))
        self.chans, di_chans = take("ii")
        self.names, self.kinds, self.masks = [], [], []
        if self.ai:
            for _ in range(self.chans):
                take("ii")
                self.names.append(text())
            (count,) = take("i")
            self.kinds = list(take("%dB" % count))
        if self.di:
            for _ in range(di_chans):
                take("ii")
                text()
            (count,) = take("i")
            self.masks = list(take("%dB" % count))
        self.scan_count, self.interval = take("id")
        if self.ai:
            data = np.fromfile(folder + "/AI.ond", dtype="<f4" if self.floats else "<i4")
            whole = len(data) // self.chans * self.chans
            self.samples = data[:whole].reshape(-1, self.chans)
        if self.di:
            data = np.fromfile(folder + "/DI.ond", dtype=np.uint8)
            self.port_start, self.port_count = struct.unpack_from("<ii", data.tobytes(), 0)
            ports = data[8:]
            scans = min(self.scan_count, len(ports) // self.port_count)
            self.ports = ports[: scans * self.port_count].reshape(scans, self.port_count)

    def shown_lines(self):
        """(port byte index, bit) of every line shown, in port and bit order."""
        lines = []
        for b in range(self.port_count):
            port = self.port_start + b
            mask = self.masks[port] if port < len(self.masks) else 0
            lines += [(b, bit) for bit in range(8) if mask & (1 << bit)]
        return lines

    def line_names(self):
        return ["%d:%d" % (self.port_start + b, bit) for b, bit in self.shown_lines()]

    def line_values(self):
        columns = [(self.ports[:, b] >> bit) & 1 for b, bit in self.shown_lines()]
        return np.stack(columns, axis=1) if columns else np.zeros((len(self.ports), 0), np.uint8)


problems = []


def expect(condition, what):
    if not condition:
        problems.append(what)


def same_bits(a, b):
    a, b = np.ascontiguousarray(a), np.ascontiguousarray(b)
    return a.shape == b.shape and a.dtype.itemsize == b.dtype.itemsize and a.tobytes() == b.tobytes()


def check_csv(rec, out):
    import pandas

    if rec.ai:
        raw = open(out + "/AI.csv", "rb").read()
        expect(not raw.startswith(b"\xef\xbb\xbf"), "AI.csv starts with a byte-order mark")
        expect(raw.endswith(b"\r\n"), "AI.csv rows do not end with CR LF")
        table = pandas.read_csv(out + "/AI.csv", encoding="utf-8")
        expect(list(table.columns) == ["time_s"] + rec.names, "AI.csv header %s" % list(table.columns))
        expect(len(table) == len(rec.samples), "AI.csv has %d rows, not %d" % (len(table), len(rec.samples)))
        if len(table) == len(rec.samples) and len(table.columns) == rec.chans + 1:
            values = table.iloc[:, 1:].to_numpy()
            if rec.floats:
                expect(same_bits(values.astype(np.float32), rec.samples), "AI.csv values differ from AI.ond")
            else:
                expect(np.array_equal(values.astype(np.int64), rec.samples), "AI.csv counts differ from AI.ond")
            # Read exactly: a running sum would drift from index x interval.
            exact = pandas.read_csv(out + "/AI.csv", usecols=["time_s"], float_precision="round_trip")
            times = np.arange(len(table), dtype=np.float64) * rec.interval
            expect(same_bits(exact["time_s"].to_numpy(np.float64), times), "AI.csv times are not index x interval")
    if rec.di:
        table = pandas.read_csv(out + "/DI.csv", encoding="utf-8")
        expect(list(table.columns) == ["time_s"] + rec.line_names(), "DI.csv header %s" % list(table.columns))
        expect(len(table) == len(rec.ports), "DI.csv has %d rows, not %d" % (len(table), len(rec.ports)))
        if len(table) == len(rec.ports) and len(table.columns) == len(rec.line_names()) + 1:
            expect(np.array_equal(table.iloc[:, 1:].to_numpy(), rec.line_values()), "DI.csv lines differ")
            exact = pandas.read_csv(out + "/DI.csv", usecols=["time_s"], float_precision="round_trip")
            times = np.arange(len(table), dtype=np.float64) * rec.interval
            expect(same_bits(exact["time_s"].to_numpy(np.float64), times), "DI.csv times are not index x interval")


def check_hdf5(rec, out):
    import h5py

    with h5py.File(out + "/recording.h5", "r") as f:
        expect(f.attrs["scan_interval_s"] == rec.interval, "scan_interval_s %r" % f.attrs["scan_interval_s"])
        expect(f.attrs["scan_count"] == rec.scan_count, "scan_count %r" % f.attrs["scan_count"])
        mode = "polled" if rec.soft else "buffered"
        expect(f.attrs["acquisition_mode"] == mode, "acquisition_mode %r" % f.attrs["acquisition_mode"])
        expect(("ai" in f) == rec.ai and ("di" in f) == rec.di, "datasets %s" % list(f.keys()))
        if rec.ai and "ai" in f:
            ai = f["ai"]
            expect(ai.dtype == np.dtype("<f4" if rec.floats else "<i4"), "/ai is %s" % ai.dtype)
            expect(same_bits(ai[...], rec.samples), "/ai differs from AI.ond")
            expect(ai.chunks is not None and ai.shuffle and ai.compression == "gzip", "/ai is not shuffled + deflated")
            expect(list(ai.attrs["channel_names"]) == rec.names, "channel_names %r" % list(ai.attrs["channel_names"]))
            thermo = [1 if i < len(rec.kinds) and rec.kinds[i] == 1 else 0 for i in range(rec.chans)]
            expect(list(ai.attrs["thermocouple"]) == thermo, "thermocouple %r" % list(ai.attrs["thermocouple"]))
            expect(list(ai.attrs["device_channels"]) == list(range(rec.chans)), "device_channels")
            expect(len(ai.attrs["units"]) == rec.chans, "units %r" % list(ai.attrs["units"]))
        if rec.di and "di" in f:
            di = f["di"]
            expect(di.dtype == np.uint8 and same_bits(di[...], rec.ports), "/di differs from DI.ond")
            expect(di.attrs["port_start"] == rec.port_start, "port_start %r" % di.attrs["port_start"])
            shown = [rec.masks[rec.port_start + b] for b in range(rec.port_count)]
            expect(list(di.attrs["shown_lines"]) == shown, "shown_lines %r" % list(di.attrs["shown_lines"]))


PREFIXES = {"p": 1e-12, "n": 1e-9, "\u00b5": 1e-6, "u": 1e-6, "m": 1e-3, "k": 1e3, "M": 1e6, "G": 1e9, "T": 1e12}

# sigrok-cli 0.7.2's analog output ends every run with this complaint and
# status 1, on the sessions libsigrok writes itself as well.
ANALOG_OUTPUT_FAULT = "g_atomic_ref_count_dec: assertion 'old_value > 0' failed"


def sigrok(session, *args):
    done = subprocess.run(["sigrok-cli", "-i", session] + list(args), capture_output=True)
    complaint = done.stderr.decode().strip()
    known = "analog" in args and complaint == ANALOG_OUTPUT_FAULT
    expect(done.returncode == 0 or known, "sigrok-cli %s failed: %s" % (" ".join(args), complaint))
    return done.stdout.decode("utf-8")


def check_sr(rec, out):
    session = out + "/recording.sr"
    shown = sigrok(session, "--show")
    rate = re.search(r"^Samplerate: (\d+)$", shown, re.M)
    expect(rate is not None and int(rate.group(1)) == round(1 / rec.interval), "samplerate in %r" % shown[:80])
    channels = re.findall(r"^- (.*): (logic|analog)$", shown, re.M)
    analog = [name for name, kind in channels if kind == "analog"]
    expect(analog == (rec.names if rec.ai else []), "analog channels %r" % analog)
    if rec.di:
        logic = [name for name, kind in channels if kind == "logic"]
        expect(len(logic) == 8 * rec.port_count, "%d logic channels" % len(logic))
        named = [(i, name) for i, name in enumerate(logic) if ":" in name]
        lines = [(8 * b + bit, "%d:%d" % (rec.port_start + b, bit)) for b, bit in rec.shown_lines()]
        expect(named == lines, "logic channels named %r" % named)
    one_chunk = rec.ai and len(rec.samples) * rec.chans * 4 <= 4 * 1024 * 1024
    if rec.ai and not rec.di and one_chunk:
        # The CSV output: a header row of units, then a row per sample, %g.
        text = sigrok(session, "-O", "csv")
        lines = text.splitlines()
        header = [i for i, line in enumerate(lines) if line == ",".join(["V DC"] * rec.chans)]
        expect(len(header) == 1, "no unit row in the CSV output")
        if header:
            rows = np.array([[float(v) for v in line.split(",")] for line in lines[header[0] + 1 :]])
            rows = rows.reshape(-1, rec.chans)
            expect(rows.shape == rec.samples.shape, "CSV output has %d rows" % len(rows))
            if rows.shape == rec.samples.shape:
                # Six significant digits, as the CSV output writes them.
                want = rec.samples.astype(np.float64)
                expect(np.allclose(rows, want, rtol=5e-6, atol=0), "CSV output values differ")
    elif rec.ai:
        # The analog output: "name: value unit" per sample, channel by channel,
        # the value rounded to the decimals shown, with an SI prefix on the unit.
        text = sigrok(session, "-O", "analog")
        values = {name: [] for name in rec.names}
        for line in text.splitlines():
            name, _, rest = line.rpartition(": ")
            if name in values:
                number, unit = rest.split()[:2]
                scale = PREFIXES.get(unit[0], 1.0) if len(unit) > 1 and unit != "V" else 1.0
                decimals = len(number.partition(".")[2])
                values[name].append((float(number) * scale, 0.5 * 10.0**-decimals * scale))
        for c, name in enumerate(rec.names):
            got = np.array([v for v, _ in values[name]])
            slack = np.array([e for _, e in values[name]])
            want = rec.samples[:, c].astype(np.float64)
            expect(got.shape == want.shape, "%s: %d values, not %d" % (name, len(got), len(want)))
            if got.shape == want.shape:
                close = np.abs(got - want) <= slack * (1 + 1e-9) + np.abs(want) * 1e-6
                bad = np.flatnonzero(~close)
                expect(len(bad) == 0, "%s: values differ first at %s" % (name, [(i, got[i], want[i]) for i in bad[:3]]))
    if rec.di:
        text = sigrok(session, "-O", "bits:width=0")
        bits = {}
        for line in text.splitlines():
            name, _, rest = line.rpartition(":")
            if re.fullmatch(r"[01 ]*", rest) and name in rec.line_names():
                bits[name] = bits.get(name, "") + rest.replace(" ", "")
        want = rec.line_values()
        for k, name in enumerate(rec.line_names()):
            got = bits.get(name, "")
            expect(got == "".join(str(v) for v in want[:, k]), "logic %s differs (%d bits)" % (name, len(got)))


def main():
    kind, project, out = sys.argv[1:4]
    rec = Recording(project)
    {"csv": check_csv, "hdf5": check_hdf5, "sr": check_sr}[kind](rec, out)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
