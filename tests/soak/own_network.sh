#!/bin/bash
# Runs a command in a network namespace of its own, holding only a loopback
# interface, where this machine allows it (root with unshare and ip);
# otherwise runs it as it is. The bar talks to a fixed loopback port: alone
# in its own namespace, a long run neither waits for nor disturbs other runs
# that use the same port on the same machine.
#   tests/soak/own_network.sh COMMAND [ARGUMENT]...
set -euo pipefail

if command -v unshare >/dev/null && command -v ip >/dev/null && unshare -n true 2>/dev/null; then
    exec unshare -n sh -c 'ip link set lo up && exec "$@"' own-network "$@"
fi
exec "$@"
