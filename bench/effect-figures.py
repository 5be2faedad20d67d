#!/usr/bin/env python3
"""Runs the frame benchmark of every style with repetitions and sums it up: each style's best
time and its ratio to a memcpy of the frame, the median and the slowest styles, for the engine's
styles (1-13, 18-30, 35-57) and for all 150.
Usage: bench/effect-figures.py [BUILD_DIR] [REPETITIONS]"""
import csv, io, statistics, subprocess, sys

build = sys.argv[1] if len(sys.argv) > 1 else 'build/release'
reps = sys.argv[2] if len(sys.argv) > 2 else '5'
out = subprocess.run([f'{build}/bench/kestrava_bench', '--benchmark_filter=BM_EffectFrame/',
                      f'--benchmark_repetitions={reps}', '--benchmark_min_time=0.1',
                      '--benchmark_report_aggregates_only=true', '--benchmark_format=csv'],
                     capture_output=True, text=True, check=True).stdout
rows = list(csv.reader(io.StringIO(out[out.index('name,'):])))
header, rows = rows[0], rows[1:]
col = {name: i for i, name in enumerate(header)}
def figures(statistic):
    times, ratios = {}, {}
    for r in rows:
        if r[0].endswith('_' + statistic):
            style = int(r[0].split('/')[1].split('_')[0])
            times[style] = float(r[col['real_time']]) / 1000
            ratios[style] = float(r[col['vs_memcpy']])
    return times, ratios

# The best run of each style: the machine's memory is shared, and its speed varies by up to twice
# from one minute to the next. The medians follow for comparison.
ms, ratio = figures('min')

def summary(title, styles):
    times = [ms[s] for s in styles]
    slow = sorted(styles, key=lambda s: -ms[s])[:5]
    print(f'{title}: median {statistics.median(times):.2f} ms '
          f'({statistics.median(ratio[s] for s in styles):.1f}x memcpy), '
          f'max {max(times):.2f} ms, over 2.5 ms: {sum(t >= 2.5 for t in times)}; slowest: ' +
          ', '.join(f'{s} {ms[s]:.2f} ms' for s in slow))

engine = [s for s in ms if s <= 13 or 18 <= s <= 30 or 35 <= s <= 57]
print(f'best of {reps} runs:')
summary('styles 1-13, 18-30, 35-57', engine)
summary('all 150 styles', sorted(ms))
best = (ms, ratio)
ms, ratio = figures('median')
print(f'median of {reps} runs:')
summary('styles 1-13, 18-30, 35-57', engine)
summary('all 150 styles', sorted(ms))
ms, ratio = best
print('every style, best run: ' + 'every style: ' + '; '.join(f'{s}: {ms[s]:.2f} ms ({ratio[s]:.1f}x)' for s in sorted(ms)))
