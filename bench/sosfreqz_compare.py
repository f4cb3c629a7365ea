#!/usr/bin/python3
"""Times scipy's sosfreqz on the sections of bench_tune's BM_ResponseMath (2 x 45 second-order
sections at 401 points), runs that benchmark in the same run, and prints the ratio.

Opt-in, not part of ./test.sh. Needs python3-scipy (apt-get install python3-scipy) and the
system's python3 that package installs into. Both sides are timed in CPU time of their own
process, so other work on a shared machine disturbs the ratio less than wall time would.

    /usr/bin/python3 bench/sosfreqz_compare.py build/release/bench/bench_tune
"""
import json
import math
import os
import subprocess
import sys
import time
import timeit

import numpy as np
from scipy import signal

FS = 48000.0
PI = 3.1415926535  # the device's pi, as in the response math
K = 2.0 * PI / FS


def pass_biquad(hz, q, high):
    w = hz * K
    alpha = math.sin(w) / (2.0 * q)
    c = math.cos(w)
    k = (1.0 + c) if high else (1.0 - c)
    return [k / 2.0, -k if high else k, k / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha]


def graphic_band(hz, gain_db, divisor):
    w = hz * K
    a = 10.0 ** (gain_db * 0.05) - 1.0
    m = math.tan(w * 0.5 / divisor)
    return [m * a, 0.0, -m * a, 1.0 + m, -2.0 * math.cos(w), 1.0 - m]


def parametric_band(hz, gain_db, bw):
    w = hz * K
    a = 10.0 ** (gain_db * 0.05)
    e = math.tan(w * 0.5 / (1.0 / bw))
    return [1.0 + e * a, -2.0 * math.cos(w), 1.0 - e * a, 1.0 + e, -2.0 * math.cos(w), 1.0 - e]


CENTRES = [20, 25, 31.5, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630, 800, 1000,
           1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000]


def divisor(band, gain):
    if gain >= 0:
        return 4.0
    return 2.0


def channel_sections(channel):
    q_low = 1.0 / (2.0 * math.cos(PI / 8))
    q_high = 1.0 / (2.0 * math.sin(PI / 8))
    sos = [pass_biquad(12500.0, q_low, False), pass_biquad(12500.0, q_high, False),
           pass_biquad(40.0 + channel, q_low, True), pass_biquad(40.0 + channel, q_high, True)]
    for band, hz in enumerate(CENTRES):
        gain = (1.0 if band % 2 else -1.0) * (1 + band % 7)
        sos.append(graphic_band(hz, gain, divisor(band, gain)))
    hz = [31.5, 80, 160, 400, 800, 1414.2, 3150, 6300, 12500, 19000]
    for i in range(10):
        sos.append(parametric_band(hz[i], (6.0 if i % 2 else -9.0) + i, 0.1 + 0.25 * i))
    sos = np.array(sos)
    # sosfreqz wants a0 = 1; the device's sections are not normalised, so divide them out here,
    # outside the timed part.
    return sos / sos[:, 3:4]


def grid_401():
    return np.geomspace(20.0, 20000.0, 401)


def scipy_seconds():
    channels = [channel_sections(0), channel_sections(1)]
    w = grid_401() * K

    def run():
        for sos in channels:
            signal.sosfreqz(sos, worN=w)

    runs = 200
    times = sorted(timeit.Timer(run, timer=time.process_time).repeat(number=runs, repeat=5))
    return times[len(times) // 2] / runs  # the median, as for ours


def ours_seconds(bench):
    out = subprocess.run([bench, "--benchmark_filter=BM_ResponseMath",
                          "--benchmark_format=json", "--benchmark_repetitions=5",
                          "--benchmark_report_aggregates_only=true"],
                         check=True, capture_output=True, text=True).stdout
    rows = [r for r in json.loads(out)["benchmarks"] if r.get("aggregate_name") == "median"]
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[rows[0]["time_unit"]]
    return rows[0]["cpu_time"] * scale


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    bench = sys.argv[1]
    load = os.getloadavg()
    scipy = scipy_seconds()
    ours = ours_seconds(bench)
    print(f"load average {load[0]:.2f} {load[1]:.2f} {load[2]:.2f} on {os.cpu_count()} cores")
    import scipy as scipy_module
    print(f"scipy {scipy_module.__version__} sosfreqz, 2 x 45 sections at 401 points: "
          f"{scipy * 1e6:.1f} us")
    print(f"arvestra response math, the same sections:               {ours * 1e6:.1f} us")
    print(f"ratio: {scipy / ours:.1f} times faster")


if __name__ == "__main__":
    main()
