// The DuckDB side of the engine comparison (run by zbq-bench-compare, once with --threads 1 and
// once with every thread): the same operations as bench/compare/operations.h, under the same
// ids, as the SQL a DuckDB user would write, through @duckdb/node-api (installed beside this
// file by scripts/bench).
//
// Timing follows bench/compare/measure.h: untimed setup (statements prepared, sets stored),
// timed runs repeated until enough time has passed, the median kept; a run ends when the
// result is materialized. Writes <work>/answers/<op>.<name>.tsv (rows spelled as
// bench/compare/answer.h says, CP932) and <work>/<name>_times.tsv (op, seconds).
//
// Tables: t, one row per record: rec (record number + 1) and for item i a value column v<i>
// (INTEGER, DOUBLE, DATE, TIME, VARCHAR for texts, an ENUM of the item's codes for a Code item;
// NULL for blanks and errors) and a kind column k<i> (0 error, 1 blank, 2 value). A MultiAns
// item i has the table a<i>(rec, v, k), one row per answer. Sets are tables of rec. DuckDB reads
// no CP932 (only through an extension it would download), so the build first turns the source
// into UTF-8, as its user would have to, and that is timed with it; texts in the answers are
// CP932 again.
//
// build writes <work>/<name>.duckdb; open copies it into an in-memory database, on which every
// query then runs.

import {
    closeSync, mkdirSync, openSync, readFileSync, readSync, renameSync, rmSync, writeFileSync,
    writeSync,
} from 'node:fs';
import { join } from 'node:path';
import { parseArgs } from 'node:util';

let duckdb;
try {
    duckdb = await import('@duckdb/node-api');
} catch (e) {
    console.error(`DuckDB's package is not installed (scripts/bench installs it): ${e.message}`);
    process.exit(2);
}
const { DuckDBInstance } = duckdb;

const BLANK = '(blank)', ERROR = '(error)', TOTAL = '(total)';
const [GENDER, MARRIED, CHILDREN, HOUSING, CAR, SMOKING, DRINKING, EXERCISE] = [1, 2, 3, 4, 5, 6, 7, 8];
const [SATISFACTION, OCCUPATION, PREFECTURE, HOBBIES, AGE, SCORE, ANSWER_DATE] = [9, 10, 11, 12, 14, 15, 18];
const OPERATIONS = ['build', 'open', 'search1', 'search3', 'set_product', 'set_union',
    'set_difference', 'set_complement', 'recount', 'stats', 'cross_count', 'cross_sum',
    'cross_pct', 'cross_cond', 'molap_2x2', 'molap_5x5', 'drill'];
const SET_OPS = new Set(['set_product', 'set_union', 'set_difference', 'set_complement',
    'recount', 'stats']);

// --- timing ------------------------------------------------------------------------------

async function measure(setup, run, { minRuns = 3, maxRuns = 50, minSeconds = 1.0,
                                     budgetSeconds = 10.0 } = {}) {
    const times = [];
    let total = 0;
    while (times.length < maxRuns &&
           (total < minSeconds || (times.length < minRuns && total < budgetSeconds))) {
        await setup();
        const start = process.hrtime.bigint();
        await run();
        const t = Number(process.hrtime.bigint() - start) / 1e9;
        times.push(t);
        total += t;
    }
    times.sort((a, b) => a - b);
    const n = times.length;
    return n % 2 ? times[(n - 1) / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

// --- spelling of answers (bench/compare/answer.h) ----------------------------------------

function numberText(x) {
    const s = String(Number(x));
    return /[.en]/.test(s) ? s : s + '.0';
}

// CP932 bytes of a text, by the table of the Shift_JIS decoder read backwards. Where two codes
// decode to one character, the NEC-selected IBM rows (lead bytes ED and EE) give way to the
// other, as Windows' own encoder does.
const cp932 = (() => {
    const decoder = new TextDecoder('shift_jis', { fatal: true });
    const table = new Map();
    for (let b = 0xa1; b <= 0xdf; b++) table.set(String.fromCharCode(0xff61 + b - 0xa1), [b]);
    const leads = [];
    for (let b = 0x81; b <= 0x9f; b++) leads.push(b);
    for (let b = 0xe0; b <= 0xfc; b++) if (b !== 0xed && b !== 0xee) leads.push(b);
    leads.push(0xed, 0xee);
    for (const lead of leads) {
        for (let trail = 0x40; trail <= 0xfc; trail++) {
            if (trail === 0x7f) continue;
            let ch;
            try { ch = decoder.decode(Uint8Array.of(lead, trail)); } catch { continue; }
            if (ch.length === 1 && !table.has(ch)) table.set(ch, [lead, trail]);
        }
    }
    return (text) => {
        const bytes = [];
        for (const ch of text) {
            const c = ch.charCodeAt(0);
            if (c < 0x80) {
                bytes.push(c);
                continue;
            }
            const code = table.get(ch);
            if (!code) throw new Error(`no CP932 code for U+${c.toString(16)}`);
            bytes.push(...code);
        }
        return Buffer.from(bytes);
    };
})();

// The CP932 text at `from` as UTF-8 at `to`, a piece at a time (a 10M-record source is larger
// than a JavaScript string may be).
function toUtf8(from, to) {
    const decoder = new TextDecoder('shift_jis');
    const input = openSync(from, 'r'), output = openSync(to, 'w');
    try {
        const buffer = Buffer.allocUnsafe(1 << 24);
        for (let got; (got = readSync(input, buffer, 0, buffer.length, null)) > 0;)
            writeSync(output, decoder.decode(buffer.subarray(0, got), { stream: true }));
        writeSync(output, decoder.decode());
    } finally {
        closeSync(input);
        closeSync(output);
    }
}

function writeAtomically(path, data) {
    const temporary = path + '.tmp';
    writeFileSync(temporary, data);
    renameSync(temporary, path);
}

// --- the side -----------------------------------------------------------------------------

class DuckSide {
    constructor(source, items, work, name, threads) {
        this.source = source;
        this.items = items;
        this.work = work;
        this.name = name;
        this.threads = String(threads);
        this.file = join(work, `${name}.duckdb`);
        this.instance = null;
        this.db = null;
        this.prepared = new Map();
        this.results = [];
    }

    isMulti(i) { return this.items[i].type === 'MultiAns'; }

    // The text of value v of item i (a key of the answers).
    valueText(i, v) {
        switch (this.items[i].type) {
            case 'Integer': return String(v);
            case 'Float': return numberText(v);
            case 'Date': {
                const p = v.toParts();
                return String(p.year * 10000 + p.month * 100 + p.day);
            }
            case 'Time': {
                const p = v.toParts();
                return String(p.hour * 10000 + p.min * 100 + p.sec);
            }
            default: return v;
        }
    }

    key(i, k, v) {
        if (k === null) return TOTAL;
        if (Number(k) === 0) return ERROR;
        if (Number(k) === 1) return BLANK;
        return this.valueText(i, v);
    }

    close() {
        for (const statements of this.prepared.values())
            for (const s of statements) s.destroySync();
        this.prepared.clear();
        this.setsMade = false;
        if (this.db) this.db.closeSync();
        if (this.instance) this.instance.closeSync();
        this.db = this.instance = null;
    }

    async connect(path) {
        this.close();
        this.instance = await DuckDBInstance.create(path, { threads: this.threads });
        this.db = await this.instance.connect();
    }

    async rows(sql) {
        return (await this.db.runAndReadAll(sql)).getRows();
    }

    // --- build ------------------------------------------------------------------------

    typed(i) {
        const item = this.items[i], c = `c${i}`, v = `v${i}`, k = `k${i}`;
        const kind = (valid) => `CASE WHEN ${c} IS NULL THEN 1 WHEN ${valid} THEN 2 ELSE 0 END::UTINYINT AS ${k}`;
        switch (item.type) {
            case 'Integer':
                return [`TRY_CAST(${c} AS INTEGER) AS ${v}`, kind(`TRY_CAST(${c} AS INTEGER) IS NOT NULL`)];
            case 'Float':
                return [`TRY_CAST(${c} AS DOUBLE) AS ${v}`, kind(`TRY_CAST(${c} AS DOUBLE) IS NOT NULL`)];
            case 'Date':
                return [`try_strptime(${c}, '%Y/%m/%d')::DATE AS ${v}`,
                        kind(`try_strptime(${c}, '%Y/%m/%d') IS NOT NULL`)];
            case 'Time':
                return [`try_strptime(${c}, '%H:%M:%S')::TIME AS ${v}`,
                        kind(`try_strptime(${c}, '%H:%M:%S') IS NOT NULL`)];
            case 'Code':
                return [`TRY_CAST(${c} AS e${i}) AS ${v}`, kind(`TRY_CAST(${c} AS e${i}) IS NOT NULL`)];
            default:  // texts
                return [`${c} AS ${v}`, kind('true')];
        }
    }

    async build() {
        const building = this.file + '.tmp', text = this.file + '.utf8.tsv';
        rmSync(building, { force: true });
        toUtf8(this.source, text);
        await this.connect(building);
        const names = this.items.map((_, i) => `'c${i}'`).join(', ');
        const quote = (s) => `'${s.replaceAll("'", "''")}'`;
        let sql = '';
        this.items.forEach((item, i) => {
            if (item.codes.length)
                sql += `CREATE TYPE e${i} AS ENUM (${item.codes.map(quote).join(', ')});\n`;
        });
        // Staged once as text, in file order, so that t and the answer tables share rec.
        sql += `CREATE TEMP TABLE raw AS SELECT * FROM read_csv(${quote(text)}, delim = '\t',
            header = true, quote = '', escape = '', all_varchar = true, names = [${names}]);\n`;
        const columns = ['rowid + 1 AS rec'];
        this.items.forEach((_, i) => { if (!this.isMulti(i)) columns.push(...this.typed(i)); });
        sql += `CREATE TABLE t AS SELECT ${columns.join(', ')} FROM raw;\n`;
        this.items.forEach((_, i) => {
            if (!this.isMulti(i)) return;
            sql += `CREATE TABLE a${i} AS SELECT rec, TRY_CAST(part AS e${i}) AS v,
                CASE WHEN part = '' THEN 1 WHEN TRY_CAST(part AS e${i}) IS NOT NULL THEN 2 ELSE 0
                END::UTINYINT AS k
                FROM (SELECT rowid + 1 AS rec, unnest(CASE WHEN c${i} IS NULL THEN ['']
                      ELSE string_split(c${i}, ',') END) AS part FROM raw);\n`;
        });
        sql += 'DROP TABLE raw; CHECKPOINT;';
        try {
            await this.db.run(sql);
        } finally {
            this.close();
            rmSync(text, { force: true });
        }
        renameSync(building, this.file);
    }

    async open() {
        await this.connect(':memory:');
        await this.db.run(`ATTACH '${this.file.replaceAll("'", "''")}' AS f (READ_ONLY);
            COPY FROM DATABASE f TO memory; DETACH f;`);
    }

    // --- queries ----------------------------------------------------------------------

    // Every item's value counts of the records `where` selects, then their number.
    valueCounts(where) {
        const sql = this.items.map((_, i) => this.isMulti(i)
            ? `SELECT k, v, count(*) FROM a${i} WHERE rec IN (SELECT rec FROM t WHERE ${where}) GROUP BY ALL`
            : `SELECT k${i}, v${i}, count(*) FROM t WHERE ${where} GROUP BY ALL`);
        sql.push(`SELECT count(*) FROM t WHERE ${where}`);
        return sql;
    }

    // Subtotals over every pair of key prefixes, rolled up from one grouping at the finest level
    // (q<l> and x<l> are level l's kind and value). Each coarser line is grouped from that small
    // table on its own: DuckDB's ROLLUP of the two axes does the same work about four times as
    // slowly.
    molap(xs, ys) {
        const levels = [...xs, ...ys];
        const finest = levels.map((i, l) => {
            const value = i === ANSWER_DATE ? `(month(v${i}) - 1) // 6 + 1` : `v${i}`;
            return `k${i} AS q${l}, ${value} AS x${l}`;
        }).join(', ');
        const valid = levels.map((i) => `k${i} <> 0`).join(' AND ');
        const lines = [];
        for (let xp = xs.length; xp >= 0; xp--) {
            for (let yp = ys.length; yp >= 0; yp--) {
                const select = [], by = [];
                levels.forEach((_, l) => {
                    if (l < xp || (l >= xs.length && l - xs.length < yp)) {
                        select.push(`q${l}, x${l}`);
                        by.push(`q${l}, x${l}`);
                    } else {
                        select.push('NULL, NULL');
                    }
                });
                lines.push(by.length === levels.length
                    ? `SELECT ${select.join(', ')}, n, s, lo, hi FROM f`
                    : `SELECT ${select.join(', ')}, sum(n), sum(s), min(lo), max(hi) FROM f` +
                      (by.length ? ` GROUP BY ${by.join(', ')}` : ''));
            }
        }
        return `WITH f AS MATERIALIZED (SELECT ${finest}, count(*) AS n,
                coalesce(sum(v15), 0) AS s, min(v14) AS lo, max(v14) AS hi
                FROM t WHERE ${valid} GROUP BY ALL) ${lines.join(' UNION ALL ')}`;
    }

    statementsOf(op) {
        const inA = 'rec IN (SELECT r FROM sa)';
        switch (op) {
            case 'search1': return this.valueCounts("v1 = '1'");
            case 'search3':
                return this.valueCounts("(v14 >= 40 AND v15 < 60.5) OR rec IN (SELECT rec FROM a12 WHERE v = '3')");
            case 'recount': return this.valueCounts(inA);
            case 'set_product': return ['SELECT count(*) FROM (SELECT r FROM sa INTERSECT SELECT r FROM sb)'];
            case 'set_union': return ['SELECT count(*) FROM (SELECT r FROM sa UNION SELECT r FROM sb)'];
            case 'set_difference': return ['SELECT count(*) FROM (SELECT r FROM sa EXCEPT SELECT r FROM sb)'];
            case 'set_complement': return [`SELECT count(*) FROM t WHERE NOT ${inA}`];
            case 'stats':
                return [[AGE, SCORE].map((i) => `SELECT ${i}, sum(v${i})::DOUBLE, avg(v${i}),
                    stddev_pop(v${i}) FROM t WHERE v${i} IS NOT NULL AND ${inA}`).join(' UNION ALL ')];
            case 'cross_count': return ['SELECT k14, v14, k11, v11, count(*) FROM t GROUP BY ALL'];
            case 'cross_sum':
                return ['SELECT k14, v14, k11, v11, count(v15), sum(v15) FROM t GROUP BY ALL HAVING count(v15) > 0'];
            case 'cross_pct':
                return [`WITH c AS (SELECT k10 kx, v10 x, k11 ky, v11 y, v14 z, count(*) n FROM t
                    WHERE k14 = 2 GROUP BY ALL), w AS (SELECT *, sum(n) OVER (PARTITION BY kx, x, ky, y
                    ORDER BY z DESC ROWS UNBOUNDED PRECEDING) cum, sum(n) OVER (PARTITION BY kx, x,
                    ky, y) tot FROM c) SELECT kx, x, ky, y, max(z) FROM w WHERE cum * 100 >= 50 * tot
                    GROUP BY ALL`];
            case 'cross_cond': {
                let age = "CASE WHEN v14 < 20 THEN 'age<20'";
                for (let a = 20; a < 100; a += 10) age += ` WHEN v14 BETWEEN ${a} AND ${a + 9} THEN 'age${a}'`;
                age += " WHEN v14 >= 100 THEN 'age100+' ELSE 'other' END";
                const region = `CASE WHEN k11 = 1 THEN 'blank' WHEN k11 = 0 THEN 'error'
                    WHEN v11 = '01' THEN 'hokkaido' WHEN v11 BETWEEN '02' AND '07' THEN 'tohoku'
                    WHEN v11 BETWEEN '08' AND '14' THEN 'kanto' WHEN v11 BETWEEN '15' AND '23' THEN 'chubu'
                    WHEN v11 BETWEEN '24' AND '30' THEN 'kinki' WHEN v11 BETWEEN '31' AND '35' THEN 'chugoku'
                    WHEN v11 BETWEEN '36' AND '39' THEN 'shikoku' WHEN v11 BETWEEN '40' AND '47' THEN 'kyushu'
                    WHEN v11 = '99' THEN 'abroad' END`;
                return [`SELECT ${age}, ${region}, count(*) FROM t GROUP BY ALL`];
            }
            case 'molap_2x2': return [this.molap([PREFECTURE, GENDER], [OCCUPATION, SATISFACTION])];
            case 'molap_5x5':
                return [this.molap([GENDER, MARRIED, CHILDREN, HOUSING, CAR],
                                   [SMOKING, DRINKING, EXERCISE, SATISFACTION, ANSWER_DATE])];
            case 'drill':
                return ["SELECT count(*) FROM t WHERE v11 = '13' AND v1 = '1' AND v10 = '1' AND v9 = '1'"];
            default: throw new Error(`unknown operation ${op}`);
        }
    }

    // --- operations -------------------------------------------------------------------

    async setup(op) {
        if (op === 'build') {
            this.close();
            rmSync(this.file, { force: true });
            return;
        }
        if (op === 'open') return;
        if (!this.db) await this.open();
        if (SET_OPS.has(op) && !this.setsMade) {
            // The stored sets: A = men, B = aged 40 or more.
            await this.db.run(`CREATE TEMP TABLE sa AS SELECT rec AS r FROM t WHERE v1 = '1';
                CREATE TEMP TABLE sb AS SELECT rec AS r FROM t WHERE v14 >= 40;`);
            this.setsMade = true;
        }
        if (!this.prepared.has(op)) {
            const statements = [];
            for (const sql of this.statementsOf(op)) statements.push(await this.db.prepare(sql));
            this.prepared.set(op, statements);
        }
    }

    async run(op) {
        if (op === 'build') return this.build();
        if (op === 'open') return this.open();
        const results = [];
        for (const statement of this.prepared.get(op)) results.push(await statement.runAndReadAll());
        this.results = results;
    }

    async answer(op) {
        const rows = [];
        const n = (x) => String(x);
        if (op === 'build') {
            await this.connect(this.file);
            rows.push(['records', n((await this.rows('SELECT count(*) FROM t'))[0][0])]);
            for (let i = 0; i < this.items.length; i++) {
                const [from, k, v] = this.isMulti(i) ? [`a${i}`, 'k', 'v'] : ['t', `k${i}`, `v${i}`];
                const [r] = await this.rows(`SELECT count(*), count(*) FILTER (${k} = 0),
                    count(*) FILTER (${k} = 1), count(DISTINCT ${v}) FROM ${from}`);
                rows.push([i, 'values', n(r[0])], [i, 'errors', n(r[1])], [i, 'blanks', n(r[2])],
                          [i, 'distinct', n(r[3])]);
            }
            this.close();
        } else if (op === 'open') {
            rows.push(['records', n((await this.rows('SELECT count(*) FROM t'))[0][0])]);
        } else {
            const results = this.results.map((r) => r.getRows());
            const first = results[0];
            if (['search1', 'search3', 'recount'].includes(op)) {
                rows.push(['records', n(results[this.items.length][0][0])]);
                this.items.forEach((_, i) => {
                    for (const [k, v, count] of results[i]) rows.push([i, this.key(i, k, v), n(count)]);
                });
            } else if (op.startsWith('set_') || op === 'drill') {
                rows.push(['records', n(first[0][0])]);
            } else if (op === 'stats') {
                for (const [i, sum, mean, sd] of first) {
                    rows.push([i, 'sum', numberText(sum)], [i, 'mean', numberText(mean)],
                              [i, 'sd', numberText(sd)]);
                }
            } else if (['cross_count', 'cross_sum', 'cross_pct'].includes(op)) {
                const xItem = op === 'cross_pct' ? OCCUPATION : AGE;
                for (const [kx, x, ky, y, ...values] of first) {
                    const row = [this.key(xItem, kx, x), this.key(PREFECTURE, ky, y), n(values[0])];
                    if (op === 'cross_sum') row.push(numberText(values[1]));
                    rows.push(row);
                }
            } else if (op === 'cross_cond') {
                for (const [x, y, count] of first) rows.push([x, y, n(count)]);
            } else if (op.startsWith('molap')) {
                const levels = op === 'molap_2x2'
                    ? [PREFECTURE, GENDER, OCCUPATION, SATISFACTION]
                    : [GENDER, MARRIED, CHILDREN, HOUSING, CAR, SMOKING, DRINKING, EXERCISE,
                       SATISFACTION, ANSWER_DATE];
                for (const r of first) {
                    const [count, sum, lo, hi] = r.slice(2 * levels.length);
                    if (!count) continue;
                    const keys = levels.map((item, l) => {
                        const k = r[2 * l], x = r[2 * l + 1];
                        // The half year of a date level is a number, not a date.
                        return item === ANSWER_DATE && k !== null && Number(k) === 2 ? String(x)
                            : this.key(item, k, x);
                    });
                    rows.push([...keys, n(count), numberText(sum), lo === null ? '-' : n(lo),
                               hi === null ? '-' : n(hi)]);
                }
            }
        }
        const text = rows.map((r) => r.join('\t') + '\n').join('');
        mkdirSync(join(this.work, 'answers'), { recursive: true });
        writeAtomically(join(this.work, 'answers', `${op}.${this.name}.tsv`), cp932(text));
    }
}

async function main() {
    const { values: args } = parseArgs({
        options: {
            source: { type: 'string' }, items: { type: 'string' }, work: { type: 'string' },
            ops: { type: 'string', default: OPERATIONS.join(',') },
            name: { type: 'string', default: 'duckdb' }, threads: { type: 'string', default: '1' },
        },
    });
    if (!args.source || !args.items || !args.work) {
        console.error('usage: duckdb_side.mjs --source FILE --items FILE --work DIR [--ops a,b] [--name N] [--threads N]');
        process.exit(2);
    }
    const items = JSON.parse(readFileSync(args.items, 'utf8')).items;
    const side = new DuckSide(args.source, items, args.work, args.name, Number(args.threads));
    const times = [];
    for (const op of args.ops.split(',')) {
        try {
            const seconds = await measure(() => side.setup(op), () => side.run(op));
            await side.answer(op);
            times.push(`${op}\t${seconds.toFixed(9)}\n`);
        } catch (e) {  // reported as a failed operation, the others go on
            times.push(`${op}\tfailed: ${String(e.message).replace(/[\t\n]/g, ' ')}\n`);
        }
        console.log(args.name, times[times.length - 1].trim());
    }
    side.close();
    writeAtomically(join(args.work, `${args.name}_times.tsv`), times.join(''));
}

await main();
