#!/usr/bin/env python3
"""Runs the measuring program against Quorset, the floor program and the platform floor in
alternating rounds and prints one table (median, min and max of each figure, and each
floor's ratio); --json writes the same figures. Called by scripts/bench with the folders it
laid out. The goals are held against the platform floor, which does the platform work Quorset
must do before its window shows: the median of the ratios within each round at most 1.05
for the start figures, and at most 1.03 for the working set."""
import argparse, json, os, statistics, subprocess, sys, time

parser = argparse.ArgumentParser()
parser.add_argument("--rounds", type=int, default=10)
parser.add_argument("--idle-seconds", type=int, default=10)
parser.add_argument("--json")
parser.add_argument("--run", required=True, help="the command that runs a Windows program")
parser.add_argument("--measure", required=True)
parser.add_argument("--quorset", required=True)
parser.add_argument("--floor", required=True)
parser.add_argument("--platformfloor", required=True)
args = parser.parse_args()
programs = {"Quorset": (args.quorset, "QuorsetForm"), "floor": (args.floor, "QuorsetFloor"),
            "platform floor": (args.platformfloor, "QuorsetFloor")}
floors = ("floor", "platform floor")
goals = {"window_ms": 1.05, "tray_ms": 1.05, "working_set_kib": 1.03}


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


# Each round starts Quorset and then each floor, one right after the other: the ratios
# within the rounds show how far the machine's own load spreads the comparison.
paired = {floor: {key: spread([q[key] / f[key] for q, f in zip(rounds["Quorset"], rounds[floor])
                               if q.get(key) and f.get(key)]) for key in ("window_ms", "tray_ms", "working_set_kib")}
          for floor in floors}

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

print(f"Quorset against the floor program and the platform floor, {args.rounds} alternating rounds "
      f"(median [min-max]), {result['date']}:")
print(f"{'figure':40} {'Quorset':>22} {'floor':>22} {'platform floor':>22} {'ratios':>12}")
text = lambda s: f"{s['median']:.1f} [{s['min']:.1f}-{s['max']:.1f}]" if s else "n/a"
for key in ("window_ms", "tray_ms", "working_set_kib", "rss_kib", "anon_kib"):
    row = result["figures"][key]
    q = row["Quorset"]
    ratios = "/".join(f"{q['median'] / row[f]['median']:.2f}" if q and row[f] and row[f]["median"] else "n/a"
                      for f in floors)
    print(f"{row['label']:40} {text(q):>22} {text(row['floor']):>22} {text(row['platform floor']):>22} {ratios:>12}")
print("Ratios within each round (median [min-max]), and the goal against the platform floor:")
for key, goal in goals.items():
    label = result["figures"][key]["label"]
    cells = []
    for floor in floors:
        p = paired[floor][key]
        cells.append(f"{p['median']:.2f} [{p['min']:.2f}-{p['max']:.2f}]" if p else "n/a")
    p = paired["platform floor"][key]
    verdict = "n/a" if not p else ("met" if p["median"] <= goal else "missed")
    print(f"  {label:38} {'':>22} {cells[0]:>22} {cells[1]:>22}  goal {goal:.2f}: {verdict}")
result["goals"] = {key: {"goal": goal, "median": (paired["platform floor"][key] or {}).get("median")}
                   for key, goal in goals.items()}
for shown in (True, False):
    row = result["figures"]["idle_cpu_ms_" + ("shown" if shown else "hidden")]
    cpu = lambda s: f"{s['linux_ms']:.0f} (Linux)" if s["linux_ms"] is not None else f"{s['windows_ms']} (Windows)"
    print(f"{row['label']:40} {cpu(row['Quorset']):>22} {cpu(row['floor']):>22} {cpu(row['platform floor']):>22}")
print(f"{'Push + Pop (ns, under Wine)':40} {frames.get('push_pop_ns', 'n/a'):>22}")
print(f"{'HandleError without a report (ns, under Wine)':40} {frames.get('handle_error_ns', 'n/a'):>22}")
for name, files in sizes.items():
    print(f"size of {name}: " + ", ".join(f"{f} {s // 1024} KiB" for f, s in files.items()))
if args.json:
    with open(args.json, "w") as out:
        json.dump(result, out, indent=2)
    print(f"figures written to {args.json}")
