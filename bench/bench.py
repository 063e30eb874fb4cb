#!/usr/bin/env python3
"""Runs the measuring program against Quorset and the floor program in alternating rounds
and prints one table (median, min and max of each figure); --json writes the same figures.
Called by scripts/bench with the folders it laid out."""
import argparse, json, os, statistics, subprocess, sys, time

parser = argparse.ArgumentParser()
parser.add_argument("--rounds", type=int, default=10)
parser.add_argument("--idle-seconds", type=int, default=10)
parser.add_argument("--json")
parser.add_argument("--run", required=True, help="the command that runs a Windows program")
parser.add_argument("--measure", required=True)
parser.add_argument("--quorset", required=True)
parser.add_argument("--floor", required=True)
args = parser.parse_args()
programs = {"Quorset": (args.quorset, "QuorsetForm"), "floor": (args.floor, "QuorsetFloor")}


def measure(*words, on_line=None):
    process = subprocess.Popen(args.run.split() + [args.measure, *words], stdout=subprocess.PIPE, text=True)
    figures = {}
    for line in process.stdout:
        line = line.strip()
        if not line.startswith("{"):
            continue
        record = json.loads(line)
        if on_line:
            on_line(record)
        figures.update(record)
    process.wait()
    return figures


def linux_process(exe):
    """The Linux process that runs `exe` (its first argument names it)."""
    name = os.path.basename(exe).encode().lower()
    folder = os.path.basename(os.path.dirname(exe)).encode().lower()
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            first = open(f"/proc/{pid}/cmdline", "rb").read().split(b"\0")[0].lower()
        except OSError:
            continue
        if first.endswith(name) and folder in first:
            return pid
    return None


def linux_ticks(exe):
    """CPU ticks (user + system) of the Linux process that runs `exe`."""
    pid = linux_process(exe)
    if not pid:
        return None
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def linux_memory(exe):
    """Resident and anonymous resident memory (KiB) of the Linux process that runs `exe`."""
    pid = linux_process(exe)
    status = {}
    if pid:
        for line in open(f"/proc/{pid}/status"):
            key, _, value = line.partition(":")
            status[key] = value.split()[0] if value.split() else "0"
    return int(status.get("VmRSS", 0)), int(status.get("RssAnon", 0))


rounds = {name: [] for name in programs}
for _ in range(args.rounds):
    for name, (exe, window_class) in programs.items():
        memory = {}
        def note(record, exe=exe):
            if "window_ms" in record:
                memory["rss_kib"], memory["anon_kib"] = linux_memory(exe)
        figures = measure("start", exe, window_class, on_line=note)
        figures.update(memory)
        rounds[name].append(figures)

idle = {}
hz = os.sysconf("SC_CLK_TCK")
for name, (exe, window_class) in programs.items():
    for shown in (True, False):
        ticks = {}
        def note(record, exe=exe):
            if "idle_pid" in record:
                ticks["before"] = linux_ticks(exe)
            if "idle_cpu_ms" in record:
                ticks["after"] = linux_ticks(exe)
        figures = measure("idle", exe, window_class, str(args.idle_seconds), *([] if shown else ["/S"]), on_line=note)
        linux_ms = None
        if ticks.get("before") is not None and ticks.get("after") is not None:
            linux_ms = (ticks["after"] - ticks["before"]) * 1000.0 / hz
        idle[(name, shown)] = {"windows_ms": figures.get("idle_cpu_ms"), "linux_ms": linux_ms}

frames = measure("frames", "10000000")


def spread(values):
    values = [v for v in values if v is not None and v >= 0]
    if not values:
        return None
    return {"median": statistics.median(values), "min": min(values), "max": max(values)}


# Each round starts Quorset and then the floor, one right after the other: the ratios within
# the rounds show how far the machine's own load spreads the comparison.
paired = {key: spread([q[key] / f[key] for q, f in zip(rounds["Quorset"], rounds["floor"])
                       if q.get(key) and f.get(key)]) for key in ("window_ms", "tray_ms")}

result = {"date": time.strftime("%Y-%m-%d"), "rounds": args.rounds, "figures": {}, "paired_ratios": paired,
          "each_round": rounds}
for key, label in (("window_ms", "start -> window visible (ms)"), ("tray_ms", "start -> tray icon added (ms)"),
                   ("working_set_kib", "working set (KiB)"), ("rss_kib", "resident, Linux side (KiB)"),
                   ("anon_kib", "private resident, Linux side (KiB)")):
    row = {name: spread([r.get(key) for r in rounds[name]]) for name in programs}
    result["figures"][key] = {"label": label, **row}
for shown in (True, False):
    key = "idle_cpu_ms_" + ("shown" if shown else "hidden")
    result["figures"][key] = {
        "label": f"CPU in {args.idle_seconds} s idle, window {'shown' if shown else 'hidden'} (ms)",
        **{name: idle[(name, shown)] for name in programs}}
result["figures"]["frames"] = frames
sizes = {}
for name, (exe, _) in programs.items():
    folder = os.path.dirname(exe)
    sizes[name] = {f: os.path.getsize(os.path.join(folder, f)) for f in sorted(os.listdir(folder))}
result["sizes"] = sizes

print(f"Quorset against the floor program, {args.rounds} alternating rounds (median [min-max]), {result['date']}:")
print(f"{'figure':44} {'Quorset':>24} {'floor':>24} {'ratio':>7}")
for key in ("window_ms", "tray_ms", "working_set_kib", "rss_kib", "anon_kib"):
    row = result["figures"][key]
    q, f = row["Quorset"], row["floor"]
    text = lambda s: f"{s['median']:.1f} [{s['min']:.1f}-{s['max']:.1f}]" if s else "n/a"
    ratio = f"{q['median'] / f['median']:.2f}" if q and f and f["median"] else "n/a"
    print(f"{row['label']:44} {text(q):>24} {text(f):>24} {ratio:>7}")
    if key == "tray_ms":
        for start in ("window_ms", "tray_ms"):
            p = paired[start]
            label = result["figures"][start]["label"].replace(" (ms)", ", ratio within each round")
            if p:
                spread_text = f"[{p['min']:.2f}-{p['max']:.2f}]"
                print(f"{label:44} {'':>24} {spread_text:>24} {p['median']:>7.2f}")
for shown in (True, False):
    row = result["figures"]["idle_cpu_ms_" + ("shown" if shown else "hidden")]
    text = lambda s: f"{s['linux_ms']:.0f} (Linux)" if s["linux_ms"] is not None else f"{s['windows_ms']} (Windows)"
    print(f"{row['label']:44} {text(row['Quorset']):>24} {text(row['floor']):>24}")
print(f"{'Push + Pop (ns, under Wine)':44} {frames.get('push_pop_ns', 'n/a'):>24}")
print(f"{'HandleError without a report (ns, under Wine)':44} {frames.get('handle_error_ns', 'n/a'):>24}")
for name, files in sizes.items():
    print(f"size of {name}: " + ", ".join(f"{f} {s // 1024} KiB" for f, s in files.items()))
if args.json:
    with open(args.json, "w") as out:
        json.dump(result, out, indent=2)
    print(f"figures written to {args.json}")
