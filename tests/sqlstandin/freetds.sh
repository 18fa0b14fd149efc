#!/usr/bin/env bash
# An independent client proves the stand-in's protocol: the distribution's tsql runs natively, outside Wine,
# against the stand-in under Wine, at TDS 7.1 and 7.2. It logs in, sends each of the program's statements and
# checks the columns and rows it gets, and it is refused with a wrong password.
set -euo pipefail
exe=$1
work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }

mkdir -p "$work/bak"
"${QUARNEL_WINE:-wine}" "$exe" --port 0 --ssrp-port 0 --state "$(winpath "$work/state")" --ports-file "$(winpath "$work/ports")" \
    --transcript "$(winpath "$work/transcript.txt")" --login 'sa:Secret1' --database Sales --server PC1 \
    --instance SQL2005 --backup-size 65536 >"$work/standin.out" 2>&1 &
pid=$!
for _ in $(seq 300); do [ -f "$work/ports" ] && break; sleep 0.1; done
[ -f "$work/ports" ] || { echo "the stand-in did not start:"; cat "$work/standin.out"; exit 1; }
port=$(sed -n 's/.*tcp=127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/ports")

# Our own configuration only: nothing from the user's files, no protocol dumps.
export HOME=$work
unset TDSDUMP TDSPORT TDSHOST TDSVER || true
export FREETDSCONF=$work/freetds.conf
failures=0
check() {  # check NAME OUTPUT EXPECTED-SUBSTRING...
    local name=$1 out=$2
    shift 2
    for want in "$@"; do
        if ! grep -qF -- "$want" <<<"$out"; then
            echo "FAIL $name: missing '$want' in:"
            echo "$out"
            failures=$((failures + 1))
            return
        fi
    done
    echo "ok   $name"
}
sql() {  # sql PASSWORD STATEMENT
    printf '%s\ngo\n' "$2" | tsql -S standin -U sa -P "$1" -o q 2>&1 || true
}

bak=$(winpath "$work/bak")
for ver in 7.1 7.2; do
    printf '[standin]\n\thost = 127.0.0.1\n\tport = %s\n\ttds version = %s\n\tencryption = off\n\tclient charset = UTF-8\n' \
        "$port" "$ver" >"$FREETDSCONF"
    check "$ver wrong password" "$(sql wrong 'select 1')" "Login failed for user 'sa'."
    check "$ver shrink" "$(sql Secret1 'DBCC SHRINKDATABASE ([Sales],10)')" \
        "DbId	FileId	CurrentSize	MinimumSize	UsedPages	EstimatedPages" "Msg 2528"
    check "$ver server name" "$(sql Secret1 "SELECT REPLACE(CONVERT(char(20), SERVERPROPERTY('servername')),'\\','_') as SNAME")" \
        "SNAME" "PC1_SQL2005         "
    check "$ver backup" "$(sql Secret1 "BACKUP DATABASE [Sales] TO DISK='$bak\\s$ver.bak'")" \
        "Processed 8 pages for database 'Sales', file 'Sales' on file 1." "Msg 3014"
    [ -s "$work/bak/s$ver.bak" ] || { echo "FAIL $ver backup file missing"; failures=$((failures + 1)); }
    check "$ver count" "$(sql Secret1 "select count(name) as KOL from master..sysdatabases where name='Sales'")" $'KOL\n1'
    check "$ver sysfiles" "$(sql Secret1 'select filename from dbo.sysfiles where fileid = 1')" \
        "filename" "$(winpath "$work/state/Data/master.mdf")"
    check "$ver file list" "$(sql Secret1 "RESTORE FILELISTONLY FROM DISK='$bak\\s$ver.bak' WITH FILE = 1")" \
        "LogicalName	PhysicalName	Type	FileGroupName	Size	MaxSize	FileId" "Sales	$(winpath "$work/state/Data/Sales.mdf")	D	PRIMARY	1048576" \
        "Sales_log	$(winpath "$work/state/Data/Sales_log.LDF")	L	NULL	524288"
    new=R${ver/./_}
    data=$(winpath "$work/state/Data")
    check "$ver restore" "$(sql Secret1 "RESTORE DATABASE [$new] FROM DISK='$bak\\s$ver.bak' WITH  MOVE 'Sales' TO '$data\\$new.mdf', MOVE 'Sales_log' TO '$data\\$new.ldf', replace")" \
        "Processed 8 pages for database '$new', file 'Sales' on file 1." "Msg 3014"
    [ -f "$work/state/Data/$new.mdf" ] && [ -f "$work/state/Data/$new.ldf" ] || { echo "FAIL $ver restored files missing"; failures=$((failures + 1)); }
    check "$ver database list" "$(sql Secret1 'select name from master..sysdatabases order by name')" $'name\nmaster\nmodel\nmsdb\n'"$new" $'Sales\ntempdb'
    check "$ver folder test" "$(sql Secret1 "if isnull(object_id('tempdb..#TempTableFileEx'),0)>0 drop table #TempTableFileEx
create table #TempTableFileEx (File_Exists int, Dir int, ParentDir int)
insert #TempTableFileEx
exec master..xp_fileexist '$bak'
select File_Exists,Dir,ParentDir from #TempTableFileEx")" $'File_Exists\tDir\tParentDir\n0\t1\t1'
    check "$ver backup error pair" "$(sql Secret1 "BACKUP DATABASE [Sales] TO DISK='$bak\\nofolder\\x.bak'")" \
        "Msg 3201" "Operating system error 3(The system cannot find the path specified.)" "Msg 3013" "BACKUP DATABASE is terminating abnormally."
    check "$ver syntax error" "$(sql Secret1 'selct 1')" "Msg 102" "Incorrect syntax near 'selct'."
done
check "transcript" "$(cat "$work/transcript.txt")" "login failed user=sa error=18456" "login ok user=sa database=master tds=7.1" \
    "login ok user=sa database=master tds=7.2" "reply error=3201,3013"
[ "$failures" = 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
