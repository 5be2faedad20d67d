#!/usr/bin/env python3
"""What a playing saver costs: its process's CPU per second while a transition runs and while a
picture is simply on show, on a virtual X screen (Xvfb) of the given size.

    bench/saver-cpu.py --builder build/release/tools/kestrava-build a.jpg b.jpg c.jpg

A transition takes one second (25 frames) and a picture is held for the interval, so the show
repeats every interval + 1 seconds. The samples are folded onto that period; the second that
costs most is the transition, and the held time is what follows it, less a margin either side.
The X server's own CPU is reported beside the saver's, for it does the last copy to the screen.
"""

import argparse
import os
import signal
import subprocess
import sys
import tempfile
import time

SAMPLE_SECONDS = 0.05
TRANSITION_SECONDS = 1.0
MARGIN_SECONDS = 0.25


CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User and system CPU of the whole process so far, threads that have ended included."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except (FileNotFoundError, ProcessLookupError):
        return None
    # utime and stime are the 14th and 15th fields; the split starts at the 3rd.
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def write_project(path, pictures, interval, output_dir):
    lines = ["[saverType]", "type=pic", "[dataFiles]", f"filenum={len(pictures)}"]
    lines += [f"file{i}={os.path.abspath(p)}" for i, p in enumerate(pictures)]
    lines += ["[musicFiles]", "musicnum=0", "[myOptions]", "quitMode=5",
              f"DelayTime={interval}", "[myBuild]", f"OutPath={output_dir}/",
              "OutFileName=cpu", "OutType=0"]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def start_xvfb(width, height):
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
         "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        display = f.readline().strip()
    if not display:
        sys.exit("saver-cpu: Xvfb did not start")
    return server, ":" + display


def fold(samples, period):
    """Per-phase CPU: the samples (time, seconds, saver cpu, server cpu) put on one period."""
    bins = int(round(period / SAMPLE_SECONDS))
    wall, saver, server = [0.0] * bins, [0.0] * bins, [0.0] * bins
    for t, dt, c, s in samples:
        b = int((t % period) / SAMPLE_SECONDS) % bins
        wall[b] += dt
        saver[b] += c
        server[b] += s
    return wall, saver, server


def phase_share(bins_wall, bins_cpu, first, count):
    n = len(bins_wall)
    wall = sum(bins_wall[(first + i) % n] for i in range(count))
    cpu = sum(bins_cpu[(first + i) % n] for i in range(count))
    return 100.0 * cpu / wall if wall else 0.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--builder", required=True, help="kestrava-build")
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--interval", type=int, default=3, help="seconds a picture is held")
    parser.add_argument("--seconds", type=float, default=60.0, help="how long to measure")
    parser.add_argument("--warmup", type=float, default=4.0)
    parser.add_argument("--effects", default="offered")
    parser.add_argument("pictures", nargs="+")
    args = parser.parse_args()
    width, height = (int(v) for v in args.size.split("x"))
    period = args.interval + TRANSITION_SECONDS

    with tempfile.TemporaryDirectory(prefix="saver-cpu-") as folder:
        project = os.path.join(folder, "cpu.kvp")
        write_project(project, args.pictures, args.interval, folder)
        subprocess.run([args.builder, project, "--quiet", "--screen", args.size, "--effects",
                        args.effects], check=True)
        saver_file = os.path.join(folder, "cpu.scr")
        server, display = start_xvfb(width, height)
        saver = None
        try:
            env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy")
            saver = subprocess.Popen([saver_file], env=env)
            time.sleep(args.warmup)
            samples = []
            start = time.monotonic()
            last_t, last_c, last_s = start, cpu_seconds(saver.pid), cpu_seconds(server.pid)
            while last_t - start < args.seconds:
                time.sleep(SAMPLE_SECONDS)
                now, c, s = time.monotonic(), cpu_seconds(saver.pid), cpu_seconds(server.pid)
                if c is None or saver.poll() is not None:
                    sys.exit("saver-cpu: the saver ended while it was measured")
                samples.append((last_t - start, now - last_t, c - last_c, s - last_s))
                last_t, last_c, last_s = now, c, s
        finally:
            if saver:
                saver.send_signal(signal.SIGTERM)
                saver.wait()
            server.terminate()
            server.wait()

    wall, saver_cpu, server_cpu = fold(samples, period)
    n = len(wall)
    transition_bins = int(round(TRANSITION_SECONDS / SAMPLE_SECONDS))
    margin_bins = int(round(MARGIN_SECONDS / SAMPLE_SECONDS))
    both = [a + b for a, b in zip(saver_cpu, server_cpu)]
    first = max(range(n), key=lambda b: sum(both[(b + i) % n] for i in range(transition_bins)))
    held_first = first + transition_bins + margin_bins
    held_count = n - transition_bins - 2 * margin_bins
    total_wall = sum(wall)
    print(f"screen {args.size}, interval {args.interval} s, {len(args.pictures)} pictures, "
          f"{total_wall:.1f} s measured")
    print(f"{'':24}{'saver':>8}{'X server':>10}   (% of one core)")
    for name, start_bin, count in (("during transitions", first, transition_bins),
                                   ("between transitions", held_first, held_count)):
        print(f"{name:24}{phase_share(wall, saver_cpu, start_bin, count):8.2f}"
              f"{phase_share(wall, server_cpu, start_bin, count):10.2f}")
    print(f"{'on average':24}{100 * sum(saver_cpu) / total_wall:8.2f}"
          f"{100 * sum(server_cpu) / total_wall:10.2f}")


if __name__ == "__main__":
    main()
