#!/bin/sh
# linktrawl on 120 documentation pages served locally, with and without
# 0.5 s of latency; see bench.py --help for the options.
#   bench/linktrawl/run.sh [path-to-linktrawl] [--repeat 3] [--docs DIR]
exec python3 "$(dirname "$0")/bench.py" "$@"
