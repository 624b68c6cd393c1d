# Shared settings for the project's scripts. Sourced, not run.
PRT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export PRT_CACHE=${PRT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vossel-prt}
export WINEPREFIX=${PRT_WINEPREFIX:-$PRT_CACHE/wineprefix}
export WINEDEBUG=-all
export WINEARCH=win64
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
