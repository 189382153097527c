"""The soak's summary and verdict, from the load's counts and the kiosk's per-second samples.

Growth is judged on medians, so that one busy second does not decide: of 11 samples around the end of
the warm-up against the last 11 of the load, and of the last 3 samples of the idle kiosk before the load
against the last 3 after it (every client gone, connections drained). Exits 1 when a well-formed
request failed (beyond the resets before an answer that a full listen queue causes), a malformed one
was held open, the kiosk died or did not stop cleanly, or something grew beyond its tolerance.
"""
import argparse
import csv
import json
import statistics

# Growth allowed after the warm-up, under load: resident memory may move with the allocator's caches
# and the pages in flight; threads and descriptors with the connections open at the moment.
RSS_TOLERANCE = 0.10  # of the warm-up value
THREAD_TOLERANCE = 10
FD_TOLERANCE = 20
# Well-formed requests reset before a byte of their answer (the kiosk's 15-deep listen queue
# overflowing in a burst: see Unanswered in load.py), per well-formed request.
UNANSWERED_TOLERANCE = 1 / 10000
# Idle after the load against idle before it: every connection has ended.
IDLE_THREAD_TOLERANCE = 2
IDLE_FD_TOLERANCE = 4

FIELDS = {"rss_kib": "RSS KiB", "threads": "threads", "fds": "descriptors"}


def median_around(samples, at, half=5):
    """Medians of each field over the samples nearest to time at (at most 2 * half + 1)."""
    nearest = sorted(samples, key=lambda s: abs(s["time"] - at))[:2 * half + 1]
    return {field: statistics.median(s[field] for s in nearest) for field in FIELDS}


def check_growth(problems, what, first, later, allowed):
    """Adds a problem for each value that grew from first to later by more than allowed of it."""
    for field, name in FIELDS.items():
        if field in allowed and later[field] > first[field] + allowed[field]:
            problems.append("%s: %s grew from %.0f to %.0f (allowed: +%.0f)" %
                            (what, name, first[field], later[field], allowed[field]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--samples", required=True)
    parser.add_argument("--load", required=True)
    parser.add_argument("--warmup", type=float, required=True)
    parser.add_argument("--alive", choices=("yes", "no"), required=True)
    parser.add_argument("--exit-status", required=True)  # of the kiosk after SIGTERM, or "none"
    args = parser.parse_args()

    with open(args.load) as file:
        load = json.load(file)
    with open(args.samples) as file:
        samples = [{key: float(value) for key, value in row.items()} for row in csv.DictReader(file)]
    start, end = load["start"], load["end"]
    during = [s for s in samples if start <= s["time"] <= end]
    before = [s for s in samples if s["time"] < start]
    after = [s for s in samples if s["time"] > end]
    problems = []

    total = sum(load["counts"].values())
    print("Requests: %d in %.0f s (%.0f/s)" % (total, end - start, total / max(end - start, 1)))
    for kind, count in load["counts"].items():
        failed = load["failed"].get(kind, 0)
        unanswered = load["unanswered"].get(kind, 0)
        print("  %-10s %7d%s%s" % (kind, count, "  failed %d" % failed if failed else "",
                                   "  reset before an answer %d" % unanswered if unanswered else ""))
    print("  gzip-encoded page answers: %d" % load["gzipped"])
    failed = sum(load["failed"].values())
    unanswered = sum(load["unanswered"].values())
    well_formed = sum(count for kind, count in load["counts"].items() if kind not in ("malformed", "vanish"))
    print("Failed well-formed requests: %d" % failed)
    print("Well-formed requests reset before an answer: %d (tolerance 1 in %.0f)" %
          (unanswered, 1 / UNANSWERED_TOLERANCE))
    for example in load["examples"]:
        print("  " + example)
    if failed:
        problems.append("%d well-formed requests failed" % failed)
    if unanswered > well_formed * UNANSWERED_TOLERANCE:
        problems.append("%d of %d well-formed requests were reset before an answer" % (unanswered, well_formed))
    if load["malformed_held"]:
        problems.append("%d malformed requests were held open after the client finished sending"
                        % load["malformed_held"])
    if not during:
        problems.append("no samples during the load")
    else:
        warm = median_around(during, start + args.warmup)
        last = median_around(during, end)
        top = {field: max(s[field] for s in samples) for field in FIELDS}
        print("Kiosk (medians of 11 samples, idle: of 3)  RSS KiB  threads      fds")
        print("  warm-up end (%4.0f s)                  %10.0f %8.0f %8.0f" %
              (args.warmup, warm["rss_kib"], warm["threads"], warm["fds"]))
        print("  end of the load (%4.0f s)              %10.0f %8.0f %8.0f" %
              (end - start, last["rss_kib"], last["threads"], last["fds"]))
        print("  maximum (one sample)                  %10.0f %8.0f %8.0f" % (top["rss_kib"], top["threads"], top["fds"]))
        check_growth(problems, "after the warm-up", warm, last, {
            "rss_kib": warm["rss_kib"] * RSS_TOLERANCE, "threads": THREAD_TOLERANCE, "fds": FD_TOLERANCE})
    if before and after:
        idle_before = median_around(before, before[-1]["time"], 1)
        idle_after = median_around(after, after[-1]["time"], 1)
        print("  idle before the load                  %10.0f %8.0f %8.0f" %
              (idle_before["rss_kib"], idle_before["threads"], idle_before["fds"]))
        print("  idle after the load                   %10.0f %8.0f %8.0f" %
              (idle_after["rss_kib"], idle_after["threads"], idle_after["fds"]))
        check_growth(problems, "idle, after the load against before it", idle_before, idle_after,
                     {"threads": IDLE_THREAD_TOLERANCE, "fds": IDLE_FD_TOLERANCE})
    print("Tolerances: RSS +%d%%, threads +%d, descriptors +%d under load after the warm-up; "
          "idle threads +%d, idle descriptors +%d" %
          (RSS_TOLERANCE * 100, THREAD_TOLERANCE, FD_TOLERANCE, IDLE_THREAD_TOLERANCE, IDLE_FD_TOLERANCE))
    if args.alive == "no":
        problems.append("the kiosk died during the load")
    elif args.exit_status != "0":
        problems.append("the kiosk did not stop cleanly on SIGTERM (exit status %s)" % args.exit_status)
    else:
        print("The kiosk stopped on SIGTERM with status 0")
    if problems:
        print("FAILED:")
        for problem in problems:
            print("  " + problem)
        return 1
    print("PASSED")
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
