# Shared settings of the project's scripts; sourced, not run.
QUARNEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUARNEL_CACHE=${QUARNEL_CACHE:-$HOME/.cache/quarnel}
QUARNEL_DEPS=$QUARNEL_CACHE/deps
QUARNEL_BUILD=${QUARNEL_BUILD:-$QUARNEL_ROOT/build}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
QUARNEL_JOBS=${QUARNEL_JOBS:-$(nproc)}
