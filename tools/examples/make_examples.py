#!/usr/bin/env python3
"""Writes Ombrix's example data files from public raw data.

usage: make_examples.py RAW_DIR [--out DIR] [--check]

RAW_DIR holds the raw downloads, laid out as examples/README.md describes:
  gainesville-noaa/Gainesville_weather_1960-2026.csv
  melbourne-fl-tmy3/722040TYA.CSV
  cambridge-estates/ (building_data/... and aux_data/MetOffice Weather Data/...)

Writes into DIR (default: the repository's examples/ folder):
  gainesville.wea     daily mean temperature, Gainesville FL, 2008-2010 (measured)
  office.utl          synthetic office bills generated from that weather
  melbourne-tmy.wea   365-day typical year, Melbourne FL
  bedford.wea         daily mean temperature, Bedford UK, 2018-2020 (measured)
  cambridge-b101.utl  monthly bills of a real Cambridge building, 2018-2020

Standard library only. The random numbers come from a fixed seed and every rounding is done on
exact fractions, so each run writes the same bytes. --check prints what the files hold (bills per
season, a change-point fit of the baseline, the savings) so the result can be looked over.
"""

import argparse
import csv
import datetime as dt
import math
import random
import sys
from fractions import Fraction
from pathlib import Path

MISSING = -99
ONE_DAY = dt.timedelta(days=1)

# --------------------------------------------------------------------------------------------
# Small helpers


def round_half_up(value, places):
    """value (a Fraction or float) rounded to `places` decimals, halves away from zero, as text."""
    q = Fraction(value) * 10**places
    n = math.floor(abs(q) + Fraction(1, 2))
    sign = "-" if q < 0 and n != 0 else ""
    if places == 0:
        return f"{sign}{n}"
    return f"{sign}{n // 10**places}.{n % 10**places:0{places}d}"


def c_to_f(celsius):
    return celsius * Fraction(9, 5) + 32


def date_range(first, last):
    d = first
    while d <= last:
        yield d
        d += ONE_DAY


def write_data_file(path, headings, rows):
    """Data files end every line with CR LF; heading lines start with a letter."""
    for h in headings:
        assert h and not h[0].isdigit() and h[0] not in "+-.", h
    text = "".join(line + "\r\n" for line in list(headings) + list(rows))
    path.write_bytes(text.encode("ascii"))


def mdy(d):
    return f"{d.month} {d.day} {d.year}"


class Noise:
    """Seeded standard-normal numbers (Box-Muller on random.random, stable across versions)."""

    def __init__(self, seed):
        self.rng = random.Random(seed)

    def gauss(self):
        u1 = 1.0 - self.rng.random()  # in (0, 1]
        u2 = self.rng.random()
        return math.sqrt(-2.0 * math.log(u1)) * math.cos(2.0 * math.pi * u2)

    def gap(self, lo, hi):
        return lo + math.floor(self.rng.random() * (hi - lo + 1))


def reading_dates(noise, first, last_allowed):
    """Meter readings 28 to 33 days apart, moved off weekends, from `first` to `last_allowed`."""
    dates = [first]
    while True:
        prev = dates[-1]
        nxt = prev + dt.timedelta(days=noise.gap(28, 33))
        if nxt.weekday() == 5:  # Saturday: Friday, or Monday when Friday would be too early
            nxt += dt.timedelta(days=-1 if (nxt - prev).days > 28 else 2)
        elif nxt.weekday() == 6:  # Sunday: Monday, or Friday when Monday would be too late
            nxt += dt.timedelta(days=1 if (nxt - prev).days < 33 else -2)
        assert 28 <= (nxt - prev).days <= 33
        if nxt > last_allowed:
            return dates
        dates.append(nxt)


# --------------------------------------------------------------------------------------------
# Weather


def gainesville_daily(raw):
    """Daily mean of TMAX and TMIN in deg F, exact. The file's TMAX/TMIN are tenths of deg C."""
    path = raw / "gainesville-noaa" / "Gainesville_weather_1960-2026.csv"
    temps = {}
    with open(path, newline="", encoding="utf-8") as f:
        for row in csv.DictReader(f):
            if not row["TMAX"] or not row["TMIN"]:
                continue
            m, d, y = (int(x) for x in row["DATE"].split("/"))
            celsius = Fraction(int(row["TMAX"]) + int(row["TMIN"]), 20)
            temps[dt.date(y, m, d)] = c_to_f(celsius)
    return temps


def melbourne_typical_year(raw):
    """365 (month, day, mean deg F) of the TMY3 file, from its 24 hourly dry-bulb values."""
    path = raw / "melbourne-fl-tmy3" / "722040TYA.CSV"
    with open(path, newline="", encoding="latin-1") as f:
        rows = list(csv.reader(f))
    col = rows[1].index("Dry-bulb (C)")
    days = {}
    for r in rows[2:]:
        mm, dd, _ = r[0].split("/")
        days.setdefault((int(mm), int(dd)), []).append(Fraction(r[col]))
    keys = list(days)
    expected = [(d.month, d.day) for d in date_range(dt.date(2001, 1, 1), dt.date(2001, 12, 31))]
    if keys != expected or any(len(v) != 24 for v in days.values()):
        sys.exit("melbourne TMY3: expected 365 days of 24 hours in calendar order")
    return [(m, d, c_to_f(sum(v) / 24)) for (m, d), v in days.items()]


BEDFORD_DIR = ("cambridge-estates", "aux_data", "MetOffice Weather Data", "raw_data",
               "hourly_weather")
BEDFORD_FILE = "midas-open_uk-hourly-weather-obs_dv-202308_bedfordshire_00461_bedford_qcv-1_{}.csv"
BEDFORD_MIN_HOURS = 20


def bedford_daily(raw, years):
    """Daily mean deg F of the station's hourly air temperature (UTC days); None for a day with
    fewer than BEDFORD_MIN_HOURS observations (the station's real outages)."""
    hourly = {}
    for y in years:
        path = raw.joinpath(*BEDFORD_DIR, BEDFORD_FILE.format(y))
        lines = path.read_text(encoding="latin-1").splitlines()
        start = lines.index("data")
        header = lines[start + 1].split(",")
        ti, oi = header.index("air_temperature"), header.index("ob_time")
        for line in lines[start + 2:]:
            if line == "end data":
                break
            p = line.split(",")
            stamp, value = p[oi], p[ti]
            if value in ("NA", "") or not stamp.endswith(":00:00"):
                continue
            hourly[dt.datetime.strptime(stamp, "%Y-%m-%d %H:%M:%S")] = Fraction(value)
    per_day = {}
    for stamp, t in hourly.items():
        per_day.setdefault(stamp.date(), []).append(t)
    out = {}
    for d in date_range(dt.date(min(years), 1, 1), dt.date(max(years), 12, 31)):
        v = per_day.get(d, [])
        out[d] = c_to_f(sum(v) / len(v)) if len(v) >= BEDFORD_MIN_HOURS else None
    return out


def weather_rows(daily, first, last):
    rows = []
    for d in date_range(first, last):
        t = daily.get(d)
        rows.append(f"{mdy(d)} {MISSING if t is None else round_half_up(t, 1)}")
    return rows


def published(daily):
    """The temperatures as the weather file states them (rounded to 0.1 F)."""
    return {d: (None if t is None else float(round_half_up(t, 1))) for d, t in daily.items()}


# --------------------------------------------------------------------------------------------
# The synthetic office in Gainesville

OFFICE_SEED = 20080107

# Daily behaviour of the building before the retrofit. T is the day's mean outdoor temperature.
# electricity kWh = base + cool * (T - 62)+ + heat * (50 - T)+
# peak kW         = (165 + 7.5 * min((T - 62)+, 20) + 2 * (50 - T)+) * (1 on weekdays, 0.75 at
#                   weekends): the chillers reach full capacity on days warmer than 82 F
# gas therms      = base + 3.2 * (60 - T)+
OFFICE = {
    "elec_base": {True: 2300.0, False: 1400.0},  # weekday / weekend kWh per day
    "elec_cool_balance": 62.0,
    "elec_cool": {True: 105.0, False: 70.0},  # kWh per degree-day above the balance
    "elec_heat_balance": 50.0,
    "elec_heat": 30.0,  # electric heat, kWh per degree-day below the balance
    "peak_base": 165.0,
    "peak_cool": 7.5,
    "peak_cool_limit": 20.0,  # degrees above the balance at which the chillers are at capacity
    "peak_heat": 2.0,
    "peak_weekend": 0.75,
    "gas_base": {True: 9.0, False: 5.0},  # hot water and kitchen, therms per day
    "gas_heat_balance": 60.0,
    "gas_heat": 3.2,  # therms per degree-day below the balance
}
# What the retrofit (lighting, chiller controls, boiler reset) keeps of each term.
RETROFIT = {"elec_base": 0.88, "elec_cool": 0.85, "elec_heat": 0.90, "peak": 0.89,
            "gas_base": 0.97, "gas_heat": 0.92}
NOISE_SD = {"use": 0.025, "demand": 0.025, "thermal": 0.04}


def office_day(t, weekday, after_retrofit):
    o = OFFICE
    k = RETROFIT if after_retrofit else {key: 1.0 for key in RETROFIT}
    cool = max(t - o["elec_cool_balance"], 0.0)
    heat = max(o["elec_heat_balance"] - t, 0.0)
    kwh = (o["elec_base"][weekday] * k["elec_base"] + o["elec_cool"][weekday] * cool * k["elec_cool"]
           + o["elec_heat"] * heat * k["elec_heat"])
    kw = o["peak_base"] + o["peak_cool"] * min(cool, o["peak_cool_limit"]) + o["peak_heat"] * heat
    kw *= k["peak"]
    if not weekday:
        kw *= o["peak_weekend"]
    gas_heat = max(o["gas_heat_balance"] - t, 0.0)
    therms = o["gas_base"][weekday] * k["gas_base"] + o["gas_heat"] * gas_heat * k["gas_heat"]
    return kwh, kw, therms


def make_office(temps):
    noise = Noise(OFFICE_SEED)
    readings = reading_dates(noise, dt.date(2008, 1, 7), dt.date(2010, 12, 31))
    opening = readings[0] - dt.timedelta(days=32)  # the reading before the file starts
    retrofit_after = max(d for d in readings if d.year == 2009)
    rows = []
    prev = opening
    for reading in readings:
        post = reading > retrofit_after
        kwh = kw = therms = 0.0
        for d in date_range(prev + ONE_DAY, reading):
            e, p, g = office_day(temps[d], d.weekday() < 5, d > retrofit_after)
            kwh, kw, therms = kwh + e, max(kw, p), therms + g
        kwh *= 1 + NOISE_SD["use"] * noise.gauss()
        kw *= 1 + NOISE_SD["demand"] * noise.gauss()
        therms *= 1 + NOISE_SD["thermal"] * noise.gauss()
        flag = 2 if post else 1
        rows.append(f"{reading.month},{reading.day},{reading.year},{round_half_up(kwh, 0)},"
                    f"{round_half_up(kw, 1)},{round_half_up(therms, 0)},{flag},{flag}")
        prev = reading
    return rows


# --------------------------------------------------------------------------------------------
# The Cambridge building

CAMBRIDGE_SEED = 20180130
CAMBRIDGE_BUILDING = "UCam_Building_b101"
# A run of this many hours or more of exactly 0 electricity is a gap in the meter data (the
# archive writes 0 for a missing reading); a period that holds one gets -99 for use and demand.
ELECTRICITY_GAP_HOURS = 12


def cambridge_hourly(raw, kind, years):
    folder = raw / "cambridge-estates" / "building_data" / "processed_data" / CAMBRIDGE_BUILDING
    values = {}
    for y in years:
        with open(folder / kind / f"{y}.csv", newline="", encoding="utf-8") as f:
            rows = csv.reader(f)
            next(rows)
            for stamp, v in rows:
                values[dt.datetime.strptime(stamp, "%Y-%m-%d %H:%M:%S")] = Fraction(v)
    return values


def gap_days(hourly):
    days, run = set(), []
    for stamp in sorted(hourly):
        if hourly[stamp] == 0:
            run.append(stamp)
            continue
        if len(run) >= ELECTRICITY_GAP_HOURS:
            days.update(s.date() for s in run)
        run = []
    if len(run) >= ELECTRICITY_GAP_HOURS:
        days.update(s.date() for s in run)
    return days


def make_cambridge(raw, years):
    elec = cambridge_hourly(raw, "electricity", years)
    gas = cambridge_hourly(raw, "gas", years)
    gaps = gap_days(elec)
    noise = Noise(CAMBRIDGE_SEED)
    readings = reading_dates(noise, dt.date(years[0], 1, 30), dt.date(years[-1], 12, 31))
    post_year = years[-1]
    rows = []
    prev = dt.date(years[0], 1, 1) - ONE_DAY  # the archive starts on 1 January
    for reading in readings:
        start = dt.datetime.combine(prev + ONE_DAY, dt.time())
        end = dt.datetime.combine(reading + ONE_DAY, dt.time())
        hours = [start + dt.timedelta(hours=h) for h in range(int((end - start).total_seconds() // 3600))]
        period_days = set(date_range(prev + ONE_DAY, reading))
        if period_days & gaps:
            use = demand = str(MISSING)
        else:
            use = round_half_up(sum(elec[h] for h in hours), 0)
            demand = round_half_up(max(elec[h] for h in hours), 1)
        thermal = round_half_up(sum(gas[h] for h in hours), 0)
        flag = 2 if reading.year == post_year else 1
        rows.append(f"{reading.month} {reading.day} {reading.year} {use} {demand} {thermal} "
                    f"{flag} {flag}")
        prev = reading
    return rows


# --------------------------------------------------------------------------------------------
# Main


def write_all(raw, out):
    out.mkdir(parents=True, exist_ok=True)
    gainesville = gainesville_daily(raw)
    first, last = dt.date(2008, 1, 1), dt.date(2010, 12, 31)
    missing = [d for d in date_range(dt.date(2007, 12, 1), last) if d not in gainesville]
    if missing:
        sys.exit(f"gainesville: days without TMAX/TMIN: {missing[:5]}")
    write_data_file(out / "gainesville.wea", [
        "Gainesville Regional Airport FL, daily mean outdoor temperature (F), 2008 to 2010",
        "Source: NOAA NCEI GHCN-Daily station USW00012816 (public domain), (TMAX + TMIN) / 2",
        "Month Day Year Temp(F)",
    ], weather_rows(gainesville, first, last))

    write_data_file(out / "office.utl", [
        "Month,Day,Year,Elec Use (kWh),Elec Demand (kW),Gas (therms),Elec Flag,Gas Flag",
    ], make_office(published(gainesville)))

    typical = melbourne_typical_year(raw)
    write_data_file(out / "melbourne-tmy.wea", [
        "Melbourne Regional AP FL, typical year (TMY3 station 722040), daily mean dry-bulb (F)",
        "Source: NREL NSRDB TMY3 via pvlib python (BSD-3-Clause); the year column is not used",
        "Month Day Year Temp(F)",
    ], [f"{m} {d} 1990 {round_half_up(t, 1)}" for m, d, t in typical])

    years = [2018, 2019, 2020]
    bedford = bedford_daily(raw, years)
    write_data_file(out / "bedford.wea", [
        "Bedford UK (Met Office MIDAS station 461), daily mean air temperature (F), UTC days",
        "Contains public sector information licensed under the Open Government Licence v3.0",
        f"Days with fewer than {BEDFORD_MIN_HOURS} hourly readings are -99",
        "Month Day Year Temp(F)",
    ], weather_rows(bedford, dt.date(2018, 1, 1), dt.date(2020, 12, 31)))

    write_data_file(out / "cambridge-b101.utl", [
        "Cambridge University Estates building b101, 2018 to 2020: electricity kWh, peak hourly "
        "kW, gas for heating kWh; flag 2 marks 2020 (no retrofit: the year of the pandemic)",
        "Month Day Year ElecUse(kWh) ElecDemand(kW) Gas(kWh) ElecFlag GasFlag",
    ], make_cambridge(raw, years))


# --------------------------------------------------------------------------------------------
# --check: what a user of the files will see


def read_data_file(path):
    rows = []
    for line in path.read_text(encoding="ascii").splitlines():
        line = line.strip()
        if line and line[0].isdigit():
            rows.append([float(x) for x in line.replace(",", " ").split()])
    return rows


def merge(energy, weather):
    """One row per billing period: (end date, mean temperature or None, values, flags)."""
    temps = {dt.date(int(r[2]), int(r[0]), int(r[1])): r[3] for r in weather}
    periods = []
    for prev, cur in zip(energy, energy[1:]):
        a = dt.date(int(prev[2]), int(prev[0]), int(prev[1]))
        b = dt.date(int(cur[2]), int(cur[0]), int(cur[1]))
        days = [temps[d] for d in date_range(a + ONE_DAY, b) if temps.get(d, MISSING) != MISSING]
        periods.append((b, sum(days) / len(days) if days else None, cur[3:6], cur[6:8]))
    return periods


def least_squares(xs, ys):
    """Coefficients and RMSE of ys = X b for rows xs (normal equations, Gauss-Jordan)."""
    p = len(xs[0])
    a = [[sum(r[i] * r[j] for r in xs) for j in range(p)] + [sum(r[i] * y for r, y in zip(xs, ys))]
         for i in range(p)]
    for c in range(p):
        piv = max(range(c, p), key=lambda r: abs(a[r][c]))
        a[c], a[piv] = a[piv], a[c]
        if a[c][c] == 0:
            return None
        a[c] = [v / a[c][c] for v in a[c]]
        for r in range(p):
            if r != c:
                a[r] = [v - a[r][c] * w for v, w in zip(a[r], a[c])]
    b = [a[i][p] for i in range(p)]
    sse = sum((y - sum(bi * xi for bi, xi in zip(b, r))) ** 2 for r, y in zip(xs, ys))
    return b, math.sqrt(sse / (len(ys) - p)) if len(ys) > p else 0.0


def fit_4p(ts, es):
    """One change point: two-pass grid over the temperature range, least RMSE."""
    lo, hi = min(ts), max(ts)

    def score(x):
        fit = least_squares([[1.0, t, t - x if t > x else 0.0] for t in ts], es)
        return (math.inf, None) if fit is None else (fit[1], fit[0])

    step, best = (hi - lo) / 10, None
    for start, s in ((lo, step), (None, 2 * step / 10)):
        a = lo if start is not None else best - step
        for j in range(1, 10):
            x = a + j * s
            rmse, b = score(x)
            if best is None or j == 1 or rmse < best_rmse:
                best, best_rmse, best_b = x, rmse, b
    b1, b2, b3 = best_b
    return {"type": "4P", "xa": best, "xb": best, "ycp": b1 + b2 * best, "ls": b2,
            "rs": b2 + b3, "rmse": best_rmse,
            "predict": lambda t: b1 + b2 * t + (b3 * (t - best) if t > best else 0.0)}


def fit_5p(ts, es):
    """Two change points: coarse pairs then a finer grid around the best pair."""
    lo, hi = min(ts), max(ts)
    s = (hi - lo) / 9
    best = None

    def try_pair(x1, x2):
        nonlocal best
        fit = least_squares([[1.0, t - x1 if t <= x1 else 0.0, t - x2 if t > x2 else 0.0]
                             for t in ts], es)
        if fit is not None and (best is None or fit[1] < best[0]):
            best = (fit[1], x1, x2, fit[0])

    grid = [lo + k * s for k in range(1, 9)]
    for x1 in grid:
        for x2 in grid:
            if x1 < x2:
                try_pair(x1, x2)
    _, c1, c2, _ = best
    for d1 in (-0.666, -0.333, 0.333, 0.666):
        for d2 in (-0.666, -0.333, 0.333, 0.666):
            if c1 + d1 * s < c2 + d2 * s:
                try_pair(c1 + d1 * s, c2 + d2 * s)
    rmse, x1, x2, (b1, b2, b3) = best
    return {"type": "5P", "xa": x1, "xb": x2, "ycp": b1, "ls": b2, "rs": b3, "rmse": rmse,
            "predict": lambda t: b1 + (b2 * (t - x1) if t <= x1 else 0.0)
            + (b3 * (t - x2) if t > x2 else 0.0)}


def check_pair(name, energy_path, weather_path):
    periods = merge(read_data_file(energy_path), read_data_file(weather_path))
    print(f"\n== {name}: {energy_path.name} with {weather_path.name}, {len(periods)} periods")
    print("   period end    days  T(F)      use   demand  thermal  flags")
    prev = None
    for end, t, v, f in periods:
        days = (end - prev).days if prev else None
        print(f"   {end.isoformat()}  {days or '':>4}  {t if t is None else round(t, 1):>5}"
              f"  {v[0]:>7.0f}  {v[1]:>7.1f}  {v[2]:>7.0f}  {int(f[0])} {int(f[1])}")
        prev = end
    for q, label in ((0, "electricity use"), (1, "electricity demand"), (2, "thermal use")):
        pre = [(t, v[q]) for _, t, v, f in periods if t is not None and v[q] != MISSING
               and f[0 if q < 2 else 1] == 1]
        post = [(t, v[q]) for _, t, v, f in periods if t is not None and v[q] != MISSING
                and f[0 if q < 2 else 1] != 1]
        ts, es = [p[0] for p in pre], [p[1] for p in pre]
        m4, m5 = fit_4p(ts, es), fit_5p(ts, es)
        mean = sum(es) / len(es)
        cv4, cv5 = 100 * m4["rmse"] / mean, 100 * m5["rmse"] / mean
        m = m5 if (cv4 - cv5) / cv4 > 0.2 else m4
        cv = 100 * m["rmse"] / mean
        sst = sum((e - mean) ** 2 for e in es)
        r2 = 1 - sum((e - m["predict"](t)) ** 2 for t, e in pre) / sst
        saving = sum(m["predict"](t) - e for t, e in post)
        baseline = sum(m["predict"](t) for t, _ in post)
        u = 1.96 * m["rmse"] * math.sqrt((1 + 2 / len(pre)) * len(post))
        print(f"   {label}: 4P CV-RMSE {cv4:.1f}%, 5P CV-RMSE {cv5:.1f}%; the report reads")
        for line in report_lines(m, len(pre), r2, cv, saving, u, post_days(periods, q), len(post),
                                 QUANTITY_NAMES[q]):
            print(f"      {line}")
        print(f"      (the saving is {100 * saving / baseline:.1f}% of the predicted baseline)")


QUANTITY_NAMES = ("Elec Use", "Elec Demand", "Thermal Engy")


def post_days(periods, q):
    """Days covered by the post-retrofit periods that have both values."""
    days, prev = 0, None
    for end, t, v, f in periods:
        if f[0 if q < 2 else 1] != 1 and t is not None and v[q] != MISSING and prev is not None:
            days += (end - prev).days
        prev = end
    return days


def report_lines(m, n, r2, cv, s, u, days, count, name):
    """The three report lines as the program prints them."""
    points = (f"%   Xcp = {m['xa']:,.2f}" if m["type"] == "4P"
              else f"%   Xcp1 = {m['xa']:,.2f}   Xcp2 = {m['xb']:,.2f}")
    p = abs(u / s) * 100 if s else -99
    return [
        f"Pre-retrofit model: {m['type']}   N =  {n}    R2 = {r2:.2f}   CV-RMSE = {cv:.1f}{points}"
        f"   Ycp = {m['ycp']:,.2f}   LS = {m['ls']:,.2f}   RS = {m['rs']:,.2f}",
        f"Pre-retrofit model: {name} = {m['ycp']:,.2f}  +  {-m['ls']:,.2f}({m['xa']:,.2f} - T)+"
        f"  +  {m['rs']:,.2f}(T - {m['xb']:,.2f})+",
        f"Total Savings = {s:,.0f} +- {u:,.1f} ({p:,.1f}%)  after  {days}  days.",
    ]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("raw", type=Path, help="folder with the raw downloads")
    parser.add_argument("--out", type=Path,
                        default=Path(__file__).resolve().parents[2] / "examples")
    parser.add_argument("--check", action="store_true", help="print what the files hold")
    args = parser.parse_args()
    write_all(args.raw, args.out)
    if args.check:
        check_pair("synthetic office", args.out / "office.utl", args.out / "gainesville.wea")
        check_pair("Cambridge b101", args.out / "cambridge-b101.utl", args.out / "bedford.wea")


if __name__ == "__main__":
    main()
