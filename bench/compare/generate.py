#!/usr/bin/env python3
"""Writes a synthetic portfolio: N buildings' energy files, daily weather and a manifest.

Every building has 24 monthly bills (read dates 28 to 33 days apart) over two years of daily
temperatures from one of a few weather stations. Half the buildings follow a four-parameter
change-point model, half a five-parameter one; each bill carries 5 % noise, and the bills of the
second year are 10 % lower (the retrofit). The same seed gives the same files.
"""

import argparse
import datetime
import math
import os
import random


def station_temperatures(rng, first, days):
    """Daily mean temperatures (F): a seasonal swing around a local mean, with weather noise."""
    mean = rng.uniform(50.0, 66.0)
    swing = rng.uniform(14.0, 24.0)
    temps = []
    for k in range(days):
        day = first + datetime.timedelta(days=k)
        season = math.cos(2.0 * math.pi * (day.timetuple().tm_yday - 200) / 365.25)
        temps.append(round(mean + swing * season + rng.gauss(0.0, 5.0), 1))
    return temps


def baseline_use(rng, five_parameter):
    """A monthly-use function of the period's mean temperature."""
    base = rng.uniform(20000.0, 90000.0)
    if five_parameter:
        cp1 = rng.uniform(48.0, 54.0)
        cp2 = cp1 + rng.uniform(12.0, 16.0)
        heat = base * rng.uniform(0.03, 0.05)
        cool = base * rng.uniform(0.03, 0.05)
        return lambda t: base + heat * max(0.0, cp1 - t) + cool * max(0.0, t - cp2)
    cp = rng.uniform(55.0, 66.0)
    cool = base * rng.uniform(0.02, 0.045)
    return lambda t: base + cool * max(0.0, t - cp)


def write_lines(path, lines):
    with open(path, "w", newline="") as f:
        f.write("".join(line + "\r\n" for line in lines))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("count", type=int, help="number of buildings")
    parser.add_argument("folder", help="where to write the files (created if needed)")
    parser.add_argument("--seed", type=int, default=20240611)
    parser.add_argument("--stations", type=int, default=1,
                        help="weather stations the buildings share (default 1)")
    args = parser.parse_args()
    rng = random.Random(args.seed)
    os.makedirs(args.folder, exist_ok=True)

    first = datetime.date(2021, 12, 1)
    days = 850  # two years of bills at most 33 days apart fit, from the opening reading on
    stations = []
    for s in range(max(1, args.stations)):
        name = "station%02d.wea" % (s + 1)
        temps = station_temperatures(rng, first, days)
        lines = ["Daily mean outdoor temperature (F), synthetic station %d" % (s + 1),
                 "Month,Day,Year,Temp"]
        for k, t in enumerate(temps):
            day = first + datetime.timedelta(days=k)
            lines.append("%d,%d,%d,%.1f" % (day.month, day.day, day.year, t))
        write_lines(os.path.join(args.folder, name), lines)
        stations.append((name, temps))

    manifest = ["energy file,weather file,quantity"]
    for b in range(args.count):
        station, temps = stations[b % len(stations)]
        use = baseline_use(rng, five_parameter=(b % 2 == 1))
        reading = first + datetime.timedelta(days=rng.randint(0, 14))
        lines = ["Synthetic building %d" % (b + 1),
                 "Month,Day,Year,Elec Use (kWh),Elec Demand (kW),Gas (therms),Elec Flag,Gas Flag"]
        lines.append("%d,%d,%d,-99,-99,-99,1,1" % (reading.month, reading.day, reading.year))
        for bill in range(24):
            start = reading
            reading = start + datetime.timedelta(days=rng.randint(28, 33))
            lo = (start - first).days + 1
            hi = (reading - first).days
            mean_t = sum(temps[lo:hi + 1]) / (hi - lo + 1)
            after = bill >= 12
            kwh = use(mean_t) * (1.0 + rng.gauss(0.0, 0.05)) * (0.9 if after else 1.0)
            kw = kwh / (24.0 * 30.4) * 1.6
            therms = max(0.0, 60.0 - mean_t) * 12.0 + 40.0
            flag = 2 if after else 1
            lines.append("%d,%d,%d,%.0f,%.1f,%.0f,%d,%d" % (
                reading.month, reading.day, reading.year, kwh, kw, therms, flag, flag))
        name = "bldg%05d.utl" % (b + 1)
        write_lines(os.path.join(args.folder, name), lines)
        manifest.append("%s,%s,elec-use" % (name, station))
    write_lines(os.path.join(args.folder, "manifest.csv"), manifest)


if __name__ == "__main__":
    main()
