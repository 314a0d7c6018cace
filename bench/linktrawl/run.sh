#!/bin/sh
# linktrawl on 120 documentation pages served locally, with and without
# 0.5 s of latency, or (--corpus heavy) on 48 forum pages from a site, a CDN
# and a third party; see bench.py --help for the options.
#   bench/linktrawl/run.sh [path-to-linktrawl] [--repeat 3] [--docs DIR] [--corpus docs|heavy|both]
exec python3 "$(dirname "$0")/bench.py" "$@"
