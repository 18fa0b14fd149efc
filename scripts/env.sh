# Shared settings of the project's scripts; sourced, not run.
QUARNEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUARNEL_CACHE=${QUARNEL_CACHE:-$HOME/.cache/quarnel}

# The variant: the program is a 32-bit Windows program (i686). Hosts whose kernel runs 64-bit user code
# only cannot start Wine's 32-bit loader; there the same sources are built and tested as a 64-bit
# program (x86_64) under 64-bit Wine. QUARNEL_VARIANT=x86_64 forces that variant on any host.
# A script sources this file again once set-up has installed Wine; what the user set is remembered at
# the first sourcing, so the second one derives every path anew from the variant it then finds.
if [ -z "${_quarnel_env_sourced:-}" ]; then
    _quarnel_env_sourced=1
    _quarnel_user_variant=${QUARNEL_VARIANT:-}
    _quarnel_user_build=${QUARNEL_BUILD:-}
    _quarnel_user_run_prefix=${QUARNEL_RUN_PREFIX:-}
    _quarnel_user_test_prefix=${QUARNEL_TEST_PREFIX:-}
fi
QUARNEL_VARIANT=$_quarnel_user_variant
quarnel_detect_variant() {
    if [ -n "${QUARNEL_VARIANT:-}" ]; then
        return
    fi
    if [ ! -e /usr/lib/wine/wine ]; then
        QUARNEL_VARIANT=unknown    # not installed yet: scripts/setup installs it and decides
    elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
        QUARNEL_VARIANT=i686
    else
        QUARNEL_VARIANT=x86_64
    fi
}
quarnel_detect_variant
case $QUARNEL_VARIANT in
    i686|unknown)
        QUARNEL_DEPS=$QUARNEL_CACHE/deps
        QUARNEL_TOOLCHAIN=$QUARNEL_ROOT/cmake/toolchain-mingw32.cmake
        _quarnel_build=$QUARNEL_ROOT/build
        _quarnel_prefix=$QUARNEL_CACHE/wine
        QUARNEL_WINE=wine
        export WINEARCH=win32 ;;
    x86_64)
        QUARNEL_DEPS=$QUARNEL_CACHE/deps-x86_64
        QUARNEL_TOOLCHAIN=$QUARNEL_ROOT/cmake/toolchain-mingw64.cmake
        _quarnel_build=$QUARNEL_ROOT/build-x86_64
        _quarnel_prefix=$QUARNEL_CACHE/wine64
        QUARNEL_WINE=$QUARNEL_ROOT/scripts/wine64
        export WINEARCH=win64 ;;
    *)
        echo "QUARNEL_VARIANT must be i686 or x86_64, not '$QUARNEL_VARIANT'" >&2
        exit 2 ;;
esac
export QUARNEL_WINE
[ "$QUARNEL_VARIANT" = unknown ] || export QUARNEL_VARIANT
QUARNEL_BUILD=${_quarnel_user_build:-$_quarnel_build}
# Wine prefixes: one to run the program (and build-time tools) in, one for the tests, whose server lives
# in the test namespace. Parallel test runs on one machine need prefixes of their own.
QUARNEL_RUN_PREFIX=${_quarnel_user_run_prefix:-$_quarnel_prefix-run}
QUARNEL_TEST_PREFIX=${_quarnel_user_test_prefix:-$_quarnel_prefix-test}
unset _quarnel_build _quarnel_prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
QUARNEL_JOBS=${QUARNEL_JOBS:-$(nproc)}
# Compiler cache beside the dependencies: a second build of the same sources, in any checkout, is quick.
export CCACHE_DIR=${CCACHE_DIR:-$QUARNEL_CACHE/ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$QUARNEL_ROOT}
export CCACHE_NOHASHDIR=1
