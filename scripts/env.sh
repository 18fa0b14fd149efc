# Shared settings of the project's scripts; sourced, not run.
QUARNEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUARNEL_CACHE=${QUARNEL_CACHE:-$HOME/.cache/quarnel}
QUARNEL_DEPS=$QUARNEL_CACHE/deps
QUARNEL_BUILD=${QUARNEL_BUILD:-$QUARNEL_ROOT/build}
# Wine prefixes: one to run the program (and build-time tools) in, one for the tests, whose server lives
# in the test namespace. Parallel test runs on one machine need prefixes of their own.
QUARNEL_RUN_PREFIX=${QUARNEL_RUN_PREFIX:-$QUARNEL_CACHE/wine-run}
QUARNEL_TEST_PREFIX=${QUARNEL_TEST_PREFIX:-$QUARNEL_CACHE/wine-test}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
QUARNEL_JOBS=${QUARNEL_JOBS:-$(nproc)}
