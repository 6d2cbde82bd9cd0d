#!/usr/bin/python3
"""The pandas side of the engine comparison (run by zbq-bench-compare).

The same operations as bench/compare/operations.h, in the same order and under the same ids,
done the way a pandas user would: read_csv and typed columns, Code columns as categories,
boolean masks, value_counts, groupby (subtotals rolled up from one finest grouping). Timing
follows bench/compare/measure.h: untimed setup, timed runs repeated until enough time has
passed, the median kept. Writes <work>/answers/<op>.<name>.tsv (rows spelled as
bench/compare/answer.h says, CP932) and <work>/<name>_times.tsv (op, seconds).

Frame t: one row per record; for item i a value column v<i> and a kind column k<i> (0 error,
1 blank, 2 value). Values: float for numbers, dates as yyyymmdd, times as hhmmss, NaN for blanks
and errors; str for texts; Code items as `category` whose categories are the codes and the two
labels "(blank)" and "(error)" (pandas 1.5 loses NaN groups of a category when grouping, and a
survey analyst names them anyway). MultiAns item i: frame a<i> (rec, v, k), one row per answer,
v a category like a Code item's.
"""

import argparse
import json
import math
import os
import time

import numpy as np
import pandas as pd

BLANK, ERROR, TOTAL = "(blank)", "(error)", "(total)"
ID, GENDER, MARRIED, CHILDREN, HOUSING, CAR, SMOKING, DRINKING, EXERCISE = range(9)
SATISFACTION, OCCUPATION, PREFECTURE, HOBBIES, MEDIA, AGE, SCORE = range(9, 16)
NAME, COMMENT, ANSWER_DATE, ANSWER_TIME = range(16, 20)

AGE_BINS = [-math.inf] + list(range(20, 101, 10)) + [math.inf]
AGE_LABELS = ["age<20"] + ["age%d" % a for a in range(20, 100, 10)] + ["age100+"]
REGION_OF = {BLANK: "blank", ERROR: "error", "99": "abroad"}
for _name, _first, _last in (("hokkaido", 1, 1), ("tohoku", 2, 7), ("kanto", 8, 14),
                             ("chubu", 15, 23), ("kinki", 24, 30), ("chugoku", 31, 35),
                             ("shikoku", 36, 39), ("kyushu", 40, 47)):
    REGION_OF.update({"%02d" % c: _name for c in range(_first, _last + 1)})

OPERATIONS = ["build", "open", "search1", "search3", "set_product", "set_union",
              "set_difference", "set_complement", "recount", "stats", "cross_count",
              "cross_sum", "cross_pct", "cross_cond", "molap_2x2", "molap_5x5", "drill"]


def measure(setup, run, min_runs=3, max_runs=50, min_seconds=1.0, budget_seconds=10.0):
    times = []
    while len(times) < max_runs and (
            sum(times) < min_seconds or (len(times) < min_runs and sum(times) < budget_seconds)):
        setup()
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    times.sort()
    n = len(times)
    return times[n // 2] if n % 2 else (times[n // 2 - 1] + times[n // 2]) / 2


def write_atomically(path, data):
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
        f.flush()
        os.fsync(f.fileno())
    os.replace(temporary, path)


def number_text(x):
    """A double as answer.h spells it (repr already adds '.0')."""
    return repr(float(x))


class PandasSide:
    def __init__(self, source, items, work, name):
        self.source = source
        self.name = name
        self.items = items
        self.work = work
        self.pickle = os.path.join(work, "pandas.pkl")
        self.result = None

    # --- typed columns -------------------------------------------------------------------

    def kinds(self, blank, valid):
        return np.where(blank, 1, np.where(valid, 2, 0)).astype(np.int8)

    def category(self, item, text, k):
        labels = np.where(k == 2, text, np.where(k == 1, BLANK, ERROR))
        return pd.Categorical(labels, categories=item["codes"] + [BLANK, ERROR])

    def load(self):
        raw = pd.read_csv(self.source, sep="\t", header=0, dtype=str, keep_default_na=False,
                          na_filter=False, quoting=3, encoding="cp932")
        t, answers = {}, {}
        for i, item in enumerate(self.items):
            col = raw.iloc[:, i]
            blank = (col == "").to_numpy()
            kind = item["type"]
            if kind == "MultiAns":
                parts = col.str.split(",").explode()
                rec = parts.index.to_numpy(dtype=np.int64)
                text = parts.to_numpy(dtype=object)
                valid = parts.isin(item["codes"]).to_numpy()
                k = self.kinds(text == "", valid)
                answers[i] = pd.DataFrame({"rec": rec, "v": self.category(item, text, k), "k": k})
                continue
            if kind in ("Integer", "Float"):
                num = pd.to_numeric(col, errors="coerce")
                valid = num.notna().to_numpy()
                if kind == "Integer":
                    valid &= (num == np.floor(num)).to_numpy() & (num.abs() <= 2147483647).to_numpy()
                value = num.to_numpy(dtype=float)
            elif kind == "Date":
                d = pd.to_datetime(col, format="%Y/%m/%d", errors="coerce")
                valid = d.notna().to_numpy()
                value = (d.dt.year * 10000 + d.dt.month * 100 + d.dt.day).to_numpy(dtype=float)
            elif kind == "Time":
                d = pd.to_datetime(col, format="%H:%M:%S", errors="coerce")
                valid = d.notna().to_numpy()
                value = (d.dt.hour * 10000 + d.dt.minute * 100 + d.dt.second).to_numpy(dtype=float)
            elif kind == "Code":
                valid = col.isin(item["codes"]).to_numpy()
                k = self.kinds(blank, valid)
                t["v%d" % i] = self.category(item, col.to_numpy(dtype=object), k)
                t["k%d" % i] = k
                continue
            else:  # String
                valid = ~blank
                value = col.to_numpy(dtype=object)
            k = self.kinds(blank, valid)
            if value.dtype == object:
                value = np.where(k == 2, value, None)
            else:
                value = np.where(k == 2, value, np.nan)
            t["v%d" % i] = value
            t["k%d" % i] = k
        self.t = pd.DataFrame(t)
        self.a = answers

    # --- helpers -------------------------------------------------------------------------

    def is_int(self, i):
        return self.items[i]["type"] in ("Integer", "Date", "Time")

    def value_text(self, i, v):
        if self.is_int(i):
            return str(int(v))
        if self.items[i]["type"] == "Float":
            return number_text(v)
        return v

    def key(self, i, k, v):
        if k is None or (isinstance(k, float) and math.isnan(k)):
            return TOTAL
        if k == 0:
            return ERROR
        if k == 1:
            return BLANK
        return self.value_text(i, v)

    def col(self, name):
        """The column's own array: numpy for numbers and texts, a Categorical for codes."""
        return self.t[name].values

    def counts(self, mask):
        """The record count and every item's value counts of the selected records."""
        out = [len(self.t) if mask is None else int(np.count_nonzero(mask))]
        for i in range(len(self.items)):
            if i in self.a:
                frame = self.a[i]
                m = mask[frame["rec"].to_numpy()]
                k, v = frame["k"].to_numpy()[m], frame["v"].values[m]
            else:
                k, v = self.col("k%d" % i)[mask], self.col("v%d" % i)[mask]
            vc = pd.Series(v[k == 2]).value_counts()
            out.append((int(np.count_nonzero(k == 0)), int(np.count_nonzero(k == 1)),
                        vc[vc > 0]))
        return out

    def set_a(self):
        return self.col("v1") == "1"

    def set_b(self):
        return (self.col("k14") == 2) & (self.col("v14") >= 40)

    def molap(self, xs, ys):
        """Every subtotal rolled up from one grouping at the finest level."""
        levels = xs + ys
        valid = np.ones(len(self.t), dtype=bool)
        for i in levels:
            valid &= self.col("k%d" % i) != 0
        frame = {}
        for i in levels:
            v = self.col("v%d" % i)[valid]
            if i == ANSWER_DATE:  # by half year
                v = ((v // 100) % 100 - 1) // 6 + 1
            frame["k%d" % i] = self.col("k%d" % i)[valid]
            frame["v%d" % i] = v
        frame["z15"] = self.col("v15")[valid]
        frame["z14"] = self.col("v14")[valid]

        def keys_of(items):
            return [c for i in items for c in ("k%d" % i, "v%d" % i)]

        finest = pd.DataFrame(frame).groupby(
            keys_of(levels), dropna=False, sort=False, observed=True).agg(
                n=("z15", "size"), s=("z15", "sum"), lo=("z14", "min"), hi=("z14", "max"))
        flat = finest.reset_index()
        rows = []
        for xp in range(len(xs), -1, -1):
            for yp in range(len(ys), -1, -1):
                keys = keys_of(xs[:xp] + ys[:yp])
                if len(keys) == 2 * len(levels):
                    rows.append((xp, yp, finest))
                elif keys:
                    g = flat.groupby(keys, dropna=False, sort=False, observed=True).agg(
                        n=("n", "sum"), s=("s", "sum"), lo=("lo", "min"), hi=("hi", "max"))
                    rows.append((xp, yp, g))
                else:
                    rows.append((xp, yp, (flat["n"].sum(), flat["s"].sum(), flat["lo"].min(),
                                          flat["hi"].max())))
        return xs, ys, rows

    # --- operations ----------------------------------------------------------------------

    def setup(self, op):
        if op == "open":
            self.t = None
            self.a = None

    def run(self, op):
        t = getattr(self, "t", None)
        if op == "build":
            self.load()
        elif op == "open":
            self.t, self.a = pd.read_pickle(self.pickle)
        elif op == "search1":
            self.result = self.counts(self.col("v1") == "1")
        elif op == "search3":
            a = self.a[HOBBIES]
            has3 = np.zeros(len(t), dtype=bool)
            has3[a["rec"].to_numpy()[a["v"].values == "3"]] = True
            mask = ((self.col("k14") == 2) & (self.col("v14") >= 40) & (self.col("k15") == 2)
                    & (self.col("v15") < 60.5)) | has3
            self.result = self.counts(mask)
        elif op == "set_product":
            self.result = int(np.count_nonzero(self.A & self.B))
        elif op == "set_union":
            self.result = int(np.count_nonzero(self.A | self.B))
        elif op == "set_difference":
            self.result = int(np.count_nonzero(self.A & ~self.B))
        elif op == "set_complement":
            self.result = int(np.count_nonzero(~self.A))
        elif op == "recount":
            self.result = self.counts(self.A)
        elif op == "stats":
            out = []
            for i in (AGE, SCORE):
                s = pd.Series(self.col("v%d" % i)[self.A & (self.col("k%d" % i) == 2)])
                out.append((i, s.sum(), s.mean(), s.std(ddof=0)))
            self.result = out
        elif op == "cross_count":
            self.result = t.groupby(["k14", "v14", "k11", "v11"], dropna=False, sort=False,
                                    observed=True).size()
        elif op == "cross_sum":
            g = t.groupby(["k14", "v14", "k11", "v11"], dropna=False, sort=False,
                          observed=True)["v15"].agg(
                ["count", "sum"])
            self.result = g[g["count"] > 0]
        elif op == "cross_pct":
            keys = ["k10", "v10", "k11", "v11"]
            c = t[t["k14"] == 2].groupby(keys + ["v14"], dropna=False, observed=True).size()
            c = c.reset_index(name="n")
            c = c.sort_values(keys + ["v14"], ascending=[True] * 4 + [False], na_position="first")
            g = c.groupby(keys, dropna=False, sort=False, observed=True)["n"]
            c["cum"], c["tot"] = g.cumsum(), g.transform("sum")
            passed = c[c["cum"] * 100 >= 50 * c["tot"]]
            self.result = passed.groupby(keys, dropna=False, sort=False, observed=True)["v14"].max()
        elif op == "cross_cond":
            # Age classes by pd.cut; regions rolled up from the prefecture cells, 50 categories
            # mapped rather than a million texts compared.
            age = pd.cut(t["v14"], AGE_BINS, right=False, labels=AGE_LABELS)
            age = age.cat.add_categories("other").fillna("other")
            cells = pd.DataFrame({"x": age, "y": t["v11"]}).groupby(["x", "y"], observed=True).size()
            x, y = cells.index.get_level_values(0), cells.index.get_level_values(1)
            self.result = cells.groupby([x, y.map(REGION_OF)]).sum()
        elif op == "molap_2x2":
            self.result = self.molap([PREFECTURE, GENDER], [OCCUPATION, SATISFACTION])
        elif op == "molap_5x5":
            self.result = self.molap([GENDER, MARRIED, CHILDREN, HOUSING, CAR],
                                     [SMOKING, DRINKING, EXERCISE, SATISFACTION, ANSWER_DATE])
        elif op == "drill":
            m = ((self.col("v11") == "13") & (self.col("v1") == "1") & (self.col("v10") == "1")
                 & (self.col("v9") == "1"))
            self.result = int(np.count_nonzero(m))

    def answer(self, op):
        rows = []
        r = self.result
        if op == "build":
            pd.to_pickle((self.t, self.a), self.pickle)
            rows.append(["records", len(self.t)])
            for i in range(len(self.items)):
                if i in self.a:
                    k, v = self.a[i]["k"].to_numpy(), self.a[i]["v"].to_numpy()
                else:
                    k, v = self.col("k%d" % i), self.col("v%d" % i)
                distinct = pd.Series(v[k == 2]).nunique()
                rows += [[i, "values", len(k)], [i, "errors", int(np.count_nonzero(k == 0))],
                         [i, "blanks", int(np.count_nonzero(k == 1))], [i, "distinct", distinct]]
        elif op == "open":
            rows.append(["records", len(self.t)])
        elif op in ("search1", "search3", "recount"):
            rows.append(["records", r[0]])
            for i, (errors, blanks, vc) in enumerate(r[1:]):
                if errors:
                    rows.append([i, ERROR, errors])
                if blanks:
                    rows.append([i, BLANK, blanks])
                for value, n in vc.items():
                    rows.append([i, self.value_text(i, value), n])
        elif op.startswith("set_") or op == "drill":
            rows.append(["records", r])
        elif op == "stats":
            for i, s, m, sd in r:
                rows += [[i, "sum", number_text(s)], [i, "mean", number_text(m)],
                         [i, "sd", number_text(sd)]]
        elif op in ("cross_count", "cross_sum", "cross_pct"):
            x_item = OCCUPATION if op == "cross_pct" else AGE
            for keys, value in (r.iterrows() if op == "cross_sum" else r.items()):
                kx, vx, ky, vy = keys
                row = [self.key(x_item, kx, vx), self.key(PREFECTURE, ky, vy)]
                if op == "cross_sum":
                    row += [int(value["count"]), number_text(value["sum"])]
                elif op == "cross_pct":
                    row.append(int(value))
                else:
                    row.append(int(value))
                rows.append(row)
        elif op == "cross_cond":
            for (x, y), n in r.items():
                rows.append([x, y, int(n)])
        elif op.startswith("molap"):
            xs, ys, parts = r
            for xp, yp, g in parts:
                def keys_of(values):
                    out, j = [], 0
                    for level, i in enumerate(xs):
                        out.append(self.key(i, values[j], values[j + 1]) if level < xp else TOTAL)
                        j += 2 if level < xp else 0
                    for level, i in enumerate(ys):
                        out.append(self.key(i, values[j], values[j + 1]) if level < yp else TOTAL)
                        j += 2 if level < yp else 0
                    return out

                def extreme(x):
                    return "-" if x is None or (isinstance(x, float) and math.isnan(x)) else int(x)

                if isinstance(g, tuple):
                    n, s, lo, hi = g
                    if n:
                        rows.append(keys_of([]) + [n, number_text(s), extreme(lo), extreme(hi)])
                    continue
                for values, row in g.iterrows():
                    if not isinstance(values, tuple):
                        values = (values,)
                    rows.append(keys_of(list(values)) + [int(row["n"]), number_text(row["s"]),
                                                        extreme(row["lo"]), extreme(row["hi"])])
        text = "".join("\t".join(str(f) for f in row) + "\n" for row in rows)
        os.makedirs(os.path.join(self.work, "answers"), exist_ok=True)
        write_atomically(os.path.join(self.work, "answers", "%s.%s.tsv" % (op, self.name)),
                         text.encode("cp932"))


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--source", required=True)
    p.add_argument("--items", required=True)
    p.add_argument("--work", required=True)
    p.add_argument("--ops", default=",".join(OPERATIONS))
    p.add_argument("--name", default="pandas")
    args = p.parse_args()
    with open(args.items, encoding="utf-8") as f:
        items = json.load(f)["items"]
    side = PandasSide(args.source, items, args.work, args.name)
    times = []
    for op in args.ops.split(","):
        slow = op in ("build", "open")
        if not slow and getattr(side, "t", None) is None:
            side.run("open")
        if op in ("set_product", "set_union", "set_difference", "set_complement", "recount",
                  "stats"):
            side.A, side.B = side.set_a(), side.set_b()
        try:
            seconds = measure(lambda: side.setup(op), lambda: side.run(op))
            side.answer(op)
            times.append("%s\t%.9f\n" % (op, seconds))
        except Exception as e:  # reported as a failed operation, the others go on
            times.append("%s\tfailed: %s\n" % (op, str(e).replace("\t", " ").replace("\n", " ")))
        print(args.name, times[-1].strip(), flush=True)
    write_atomically(os.path.join(args.work, args.name + "_times.tsv"),
                     "".join(times).encode("utf-8"))


if __name__ == "__main__":
    main()
