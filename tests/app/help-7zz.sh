#!/usr/bin/env bash
# Reads the help file the build put beside the program with the Linux build of the 7-Zip tool, an
# independent reader of the format: every page unpacks and has its title, the contents file is in the
# help file's code page.
set -euo pipefail
chm="$1/Quarnel backup.chm"
[ -f "$chm" ] || { echo "missing $chm"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
7zz x -y -o"$out" "$chm" </dev/null >/dev/null || { echo "the help file does not unpack"; exit 1; }
check() {  # page, title
    [ -f "$out/$1" ] || { echo "missing page $1"; exit 1; }
    grep -qF "<title>$2</title>" "$out/$1" || { echo "$1 has not the title \"$2\""; exit 1; }
}
check index.htm "Quarnel Backup for MS SQL Server"
check ru/overview.htm "Что делает программа"
check ru/tasks.htm "Задания и расписания"
check ru/packing.htm "Архивы и пароли"
check ru/restore.htm "Восстановление"
check ru/log.htm "Журнал"
check ru/discovery.htm "Поиск серверов"
check ru/tray.htm "Значок в области уведомлений"
check en/overview.htm "What the program does"
check en/tasks.htm "Tasks and schedules"
check en/packing.htm "Archives and passwords"
check en/restore.htm "Restore"
check en/log.htm "The log"
check en/discovery.htm "Finding servers"
check en/tray.htm "The notification-area icon"
iconv -f CP1251 -t UTF-8 "$out/toc.hhc" | grep -qF 'value="Задания и расписания"' || { echo "contents not in code page 1251"; exit 1; }
echo "help file checked: 15 pages"
