# Shared settings for the project's scripts. Sourced, not run.
PRT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export PRT_CACHE=${PRT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vossel-prt}
# Each checkout has a Wine prefix of its own under its build folder: two checkouts (worktrees, a
# CI clone) can then run their tests at once without sharing the client's folders, the session's
# named objects or a wineserver.
export WINEPREFIX=${PRT_WINEPREFIX:-$PRT_ROOT/build/wineprefix}
export WINEDEBUG=-all
export WINEARCH=win64
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
