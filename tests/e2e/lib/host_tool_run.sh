# Sourced by the host checks: a fresh work folder inside the Wine prefix, and the real tool run in
# it as a user would start it, with that folder as its temporary folder.

# host_work_folder NAME: sets work_unix and work_win to C:\NAME\, empty; it goes again on exit.
# The client's folders of the Wine user start empty, as the tool's other tests leave them.
host_work_folder() {
    rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/{Local,Roaming}/Ormel
    work_unix="$WINEPREFIX/drive_c/$1"
    rm -rf "$work_unix"; mkdir -p "$work_unix"
    trap 'rm -rf "$work_unix"' EXIT
    work_win="C:\\$1\\"
}

# run_tool_in_work_folder BIN_FOLDER ARGUMENTS: ARGUMENTS is the command line after the program.
run_tool_in_work_folder() {
    local tool_win
    tool_win=$(winepath -w "$1/VosselPRT.exe" 2>/dev/null)
    printf '@echo off\r\nset TMP=%s\r\nset TEMP=%s\r\n"%s" %s\r\n' "$work_win" "$work_win" "$tool_win" "$2" \
        > "$work_unix/run.cmd"
    wine cmd /c "${work_win}run.cmd" </dev/null >/dev/null 2>&1
}
