#!/bin/bash
# Prints the live sources to ask, in order, for --source: the keyless chart
# API, then Finnhub and Twelve Data when their keys are in the environment.
set -euo pipefail
sources=chart
[ -z "${VELMORIA_FINNHUB_KEY:-}" ] || sources=$sources,finnhub
[ -z "${VELMORIA_TWELVEDATA_KEY:-}" ] || sources=$sources,twelvedata
echo "$sources"
