"""Samples a process every second until it ends or a stop file appears: resident memory (VmRSS, KiB),
threads and open descriptors, one CSV row each (unix time, seconds since the first sample, values)."""
import os
import sys
import time


def sample(pid):
    values = {}
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            key, _, value = line.partition(":")
            if key in ("VmRSS", "Threads"):
                values[key] = int(value.split()[0])
    return values["VmRSS"], values["Threads"], len(os.listdir("/proc/%d/fd" % pid))


def main():
    pid, csv_path, stop_path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    first = time.time()
    with open(csv_path, "w") as csv:
        csv.write("time,elapsed_s,rss_kib,threads,fds\n")
        next_at = first
        while not os.path.exists(stop_path):
            try:
                rss, threads, fds = sample(pid)
            except (OSError, KeyError):
                return  # the process has ended
            now = time.time()
            csv.write("%.1f,%.1f,%d,%d,%d\n" % (now, now - first, rss, threads, fds))
            csv.flush()
            next_at += 1
            time.sleep(max(0, next_at - time.time()))


if __name__ == "__main__":
    main()
