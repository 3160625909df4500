#!/usr/bin/env python3
# Generates the benchmarks' deterministic tree and its manifest:
#   make_bench_tree.py SRC BIG_MIB SMALL_COUNT SMALL_MIB
# writes SRC/tree/BIG.DAT (alternating 1 MiB blocks of random and text-like
# bytes), SRC/tree/S0000.TXT ... (text-like and random by turns, of varied
# sizes summing exactly to SMALL_MIB MiB) and SRC/manifest.toml (one
# directory step, then a file step per file, with fixed times).
import os, random, sys

src, big_mib, count, small_mib = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
tree = os.path.join(src, "tree")
MIB = 1 << 20
rng = random.Random(20261207)

# A text pool: lines of pseudo-words, compressible like source or logs.
words = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
         for _ in range(800)]
lines = []
size = 0
while size < 4 * MIB:
    line = " ".join(rng.choice(words) for _ in range(rng.randint(4, 14))) + "\r\n"
    lines.append(line)
    size += len(line)
text_pool = "".join(lines).encode("ascii")

def text_bytes(n):
    start = rng.randrange(0, len(text_pool) - 1)
    out = bytearray()
    while len(out) < n:
        out += text_pool[start:start + (n - len(out))]
        start = 0
    return bytes(out)

def random_bytes(n):
    return rng.randbytes(n)

# The big file: alternating 1 MiB blocks of random and text-like content.
with open(os.path.join(tree, "BIG.DAT"), "wb") as f:
    for i in range(big_mib):
        f.write(random_bytes(MIB) if i % 2 == 0 else text_bytes(MIB))

# Small files: varied sizes summing exactly to small_mib MiB; even indices
# text-like (.TXT), odd indices random (.BIN).
total = small_mib * MIB
weights = [rng.uniform(0.05, 1.95) for _ in range(count)]
scale = total / sum(weights)
sizes = [max(1, int(w * scale)) for w in weights]
sizes[-1] += total - sum(sizes)
names = []
for i, n in enumerate(sizes):
    name = "S%04d.%s" % (i, "TXT" if i % 2 == 0 else "BIN")
    names.append(name)
    with open(os.path.join(tree, name), "wb") as f:
        f.write(text_bytes(n) if i % 2 == 0 else random_bytes(n))

# Fixed times so that the package is the same from run to run.
stamp = 946728000  # 2000-01-01T12:00:00Z
with open(os.path.join(src, "manifest.toml"), "w") as m:
    m.write('title = "Velmora Bench"\n\n')
    m.write('[[step]]\nclass = "directory"\nname = "BenchDir"\n'
            'question = "Install the benchmark files where?"\n'
            'prefix = "<None>"\ndefault = \'C:\\BENCH\'\n\n')
    for name in ["BIG.DAT"] + names:
        m.write('[[step]]\nclass = "file"\nsource = "tree/%s"\ndirectory = "BenchDir"\n'
                'created = %d\nmodified = %d\n\n' % (name, stamp, stamp))
