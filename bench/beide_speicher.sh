#!/usr/bin/env bash
# The statistics engine, the sales window, the shipping-branch window and the sales
# evaluation's batch run on both stores, on the same sizes, in alternating rounds
# (SQLite, PostgreSQL, SQLite, ...); prints one table to paste, with the best figure of
# each step over the rounds.
#
#   bench/beide_speicher.sh [branches] [days] [days shown in the window] [rounds]
#                           (default 5 731 365 2)
#
# PostgreSQL is the server of PGHOST/PGPORT/PGUSER (password from PGPASSWORD), e.g.
#   pg_virtualenv -t bash -c 'bench/beide_speicher.sh'
# Without PGHOST the script starts itself inside such a temporary cluster. Every program
# makes a database of its own there and drops it. The programs' full output goes to a log
# (its path is printed), progress to standard error, the table to standard output.
#
# Per store and round:
#   bench_statistik B D       first build, update after one new day, facade first pass and again
#   bench_umsatzfenster B W   opening the sales window, filling it (W days, 2 prior years)
#   bench_versandfenster B W  filling the shipping-branch window (W days) against the
#                             statistics manager's own answers for the same branches and days
#   quendrix-demo --branches B --days D --heute <today>, then twice
#   quendrix --db X --user demo -kn UMSAUSW -autoreport --export x.csv --von 01.12.2026 --bis 07.12.2026
#   (the first run builds the statistics, the second finds them up to date) and on the
#   server a third under strace that counts its connections.
set -euo pipefail

cd "$(dirname "$0")/.."
repo=$(pwd)

if [[ -z "${PGHOST:-}" ]] && command -v pg_virtualenv >/dev/null; then
    exec pg_virtualenv -t "$repo/bench/beide_speicher.sh" "$@"
fi

filialen=${1:-5}
tage=${2:-731}
anzeige=${3:-365}
runden=${4:-2}
von=01.12.2026
bis=07.12.2026

# Numbers are formatted here, never by the shell (its printf follows the locale).
rechne() { LC_ALL=C awk "BEGIN { $1 }"; }
jetzt() { date +%s.%N; }

for p in bench_statistik bench_umsatzfenster bench_versandfenster quendrix quendrix-demo; do
    [[ -x build/bin/$p ]] || { echo "missing build/bin/$p: build it first" >&2; exit 2; }
done

heute=$(date +%F)
# The batch run's days must lie inside the demo's days, which end yesterday.
if (( $(date -d "$heute" +%s) <= $(date -d 2026-12-07 +%s) )) ||
   (( $(date -d "$heute - $tage days" +%s) > $(date -d 2026-12-01 +%s) )); then
    echo "$von to $bis lie outside the demo's $tage days before $heute; give more days" >&2
    exit 2
fi

pgport=${PGPORT:-5432}
pguser=${PGUSER:-$(id -un)}
pgadresse() { echo "postgresql:///$1?host=${PGHOST:-localhost}&port=$pgport&user=$pguser"; }
psql_auf() { local ziel=$1; shift; psql -X -q -v ON_ERROR_STOP=1 -d "$ziel" "$@"; }
psql_admin() { psql_auf "$(pgadresse postgres)" "$@"; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/beide_speicher.XXXXXX")
log=${TMPDIR:-/tmp}/beide_speicher_$(date +%Y%m%d_%H%M%S)_$$.log
stapeldb=quendrix_stapel_$$
stapeldb_angelegt=
aufraeumen() {
    [[ -n $stapeldb_angelegt ]] && psql_admin -c "DROP DATABASE IF EXISTS $stapeldb WITH (FORCE)" >/dev/null 2>&1
    rm -rf "$tmp"
}
trap aufraeumen EXIT
# A message folder of its own: the programs' broadcasts reach no other program of this user
# (a busy one delays each send by its timeout).
export QUENDRIX_NACHRICHTENORDNER=$tmp/nachrichten
mkdir "$QUENDRIX_NACHRICHTENORDNER"
# Copies of the programs, so that a build during the run changes nothing between the stores.
bin=$tmp/bin
mkdir "$bin"
cp build/bin/{bench_statistik,bench_umsatzfenster,bench_versandfenster,quendrix,quendrix-demo} "$bin/"
stand="commit $(git rev-parse --short HEAD 2>/dev/null || echo '?')"
if geaendert=$(git status --porcelain -- src tools 2>/dev/null | wc -l) && (( geaendert > 0 )); then
    stand+=" + $geaendert uncommitted files in src/ and tools/"
fi
stand+=", programs built $(date -r build/bin/quendrix '+%F %R') (quendrix) / $(date -r build/bin/bench_statistik '+%R') (bench_statistik)"

# wert[STORE:step:NAME] the best seconds over the rounds, wert[STORE:check:NAME] the most
# differences any round found; runden_werte the figures of every round, for the log.
declare -A wert
runden_werte=""
merken() { # store, kind, name, value
    local k=$1:$2:$3 alt=${wert[$1:$2:$3]:-}
    if [[ ! $4 =~ ^[0-9]+(\.[0-9]+)?$ ]]; then
        echo "$1: \"$2 $3 $4\" is no figure (log: $log)" >&2
        exit 1
    fi
    [[ $2 == step ]] && runden_werte+=" $3=$4"
    if [[ -z $alt ]]; then
        wert[$k]=$4
    elif [[ $2 == step ]]; then
        wert[$k]=$(rechne "a = $alt; b = $4; printf \"%.3f\", b < a ? b : a")
    else
        wert[$k]=$(rechne "a = $alt; b = $4; print (b > a ? b : a)")
    fi
}

# Runs a program, its output into the log; keeps its "step" and "check" lines. On failure:
# its last lines, and the script ends.
lauf() {
    local speicher=$1; shift
    echo "== $speicher, round $runde: ${*#"$bin"/}" >>"$log"
    echo "round $runde, $speicher: ${1#"$bin"/} ..." >&2
    local aus=$tmp/aus
    if ! "$@" >"$aus" 2>&1; then
        cat "$aus" >>"$log"
        echo "failed: $*" >&2
        tail -n 15 "$aus" >&2
        echo "log: $log" >&2
        exit 1
    fi
    cat "$aus" >>"$log"
    local art name zahl
    while read -r art name zahl; do
        if [[ $art == step || $art == check ]]; then merken "$speicher" "$art" "$name" "$zahl"; fi
    done <"$aus"
}

zeitnehmen() { # store, name, command...
    local speicher=$1 name=$2; shift 2
    local t0 t1
    t0=$(jetzt)
    lauf "$speicher" "$@"
    t1=$(jetzt)
    merken "$speicher" step "$name" "$(rechne "printf \"%.3f\", $t1 - $t0")"
}

# Every export of every round and store must equal the first.
export_pruefen() { # store, file
    [[ -s $2 ]] || { echo "$1: the batch run wrote no export" >&2; exit 1; }
    [[ -e $tmp/referenz.csv ]] || cp "$2" "$tmp/referenz.csv"
    if cmp -s "$2" "$tmp/referenz.csv"; then merken "$1" check exports_equal 0; else merken "$1" check exports_equal 1; fi
}

last_start=$(cut -d' ' -f1-3 /proc/loadavg)
{
    echo "beide_speicher.sh $filialen $tage $anzeige $runden, $(date '+%F %T'), $(nproc) cores, load $last_start"
    echo "$stand, $(grep -m1 '^CMAKE_BUILD_TYPE' build/CMakeCache.txt 2>/dev/null | cut -d= -f2)"
} >>"$log"

verbindungen=""
for (( runde = 1; runde <= runden; ++runde )); do
    for speicher in SQLite PostgreSQL; do
        runden_werte=""
        if [[ $speicher == SQLite ]]; then
            db=()
            ziel=$tmp/stapel.db
        else
            db=(--db "$(pgadresse postgres)")
            psql_admin -c "CREATE DATABASE $stapeldb"
            stapeldb_angelegt=1
            ziel=$(pgadresse "$stapeldb")
        fi
        lauf "$speicher" "$bin/bench_statistik" "${db[@]}" "$filialen" "$tage"
        lauf "$speicher" "$bin/bench_umsatzfenster" "${db[@]}" "$filialen" "$anzeige"
        lauf "$speicher" "$bin/bench_versandfenster" "${db[@]}" "$filialen" "$anzeige"

        zeitnehmen "$speicher" demo "$bin/quendrix-demo" --db "$ziel" --branches "$filialen" --days "$tage" --heute "$heute"
        if [[ $speicher == PostgreSQL ]]; then
            # As in the benchmarks: no timed run settles the bulk load's row visibility.
            zeitnehmen "$speicher" vacuum psql_auf "$ziel" -c "VACUUM (ANALYZE)"
        fi
        stapel=("$bin/quendrix" --db "$ziel" --user demo -kn UMSAUSW -autoreport --von "$von" --bis "$bis")
        zeitnehmen "$speicher" batch_first "${stapel[@]}" --export "$tmp/x1.csv"
        zeitnehmen "$speicher" batch_second "${stapel[@]}" --export "$tmp/x2.csv"
        export_pruefen "$speicher" "$tmp/x1.csv"
        export_pruefen "$speicher" "$tmp/x2.csv"
        if [[ $speicher == SQLite ]]; then
            rm -f "$ziel" "$ziel"-* "$ziel".*
        else
            if command -v strace >/dev/null &&
               strace -f -qq -e trace=connect -o "$tmp/strace" "${stapel[@]}" --export "$tmp/x3.csv" >/dev/null 2>&1; then
                n=$(grep -Ec "port=htons\($pgport\)|\.s\.PGSQL\.$pgport\"" "$tmp/strace" || true)
                export_pruefen "$speicher" "$tmp/x3.csv"
                [[ " $verbindungen " == *" $n "* ]] || verbindungen+="${verbindungen:+ or }$n"
            fi
            psql_admin -c "DROP DATABASE $stapeldb WITH (FORCE)"
            stapeldb_angelegt=
            pgversion=$(psql_admin -Atc "SHOW server_version" | cut -d' ' -f1)
        fi
        echo "-- round $runde, $speicher:$runden_werte" >>"$log"
    done
done
last_ende=$(cut -d' ' -f1-3 /proc/loadavg)

# --- the table -------------------------------------------------------------------------
zeile() { # name, description, target ("1.5", "2+0.1" or "" for information)
    local s=${wert[SQLite:step:$1]:-} p=${wert[PostgreSQL:step:$1]:-}
    rechne "
        s = \"$s\"; p = \"$p\"; ziel = \"$3\"; sn = s + 0; pn = p + 0;
        fs = (s == \"\") ? \"-\" : sprintf(sn < 1 ? \"%.3f s\" : \"%.2f s\", sn);
        fp = (p == \"\") ? \"-\" : sprintf(pn < 1 ? \"%.3f s\" : \"%.2f s\", pn);
        q = (s == \"\" || p == \"\" || sn == 0) ? \"-\" : sprintf(\"%.2f\", pn / sn);
        erfuellt = \"\"; zt = \"\";
        if (ziel == \"1.5\" && q != \"-\") { zt = \"≤ 1.5\"; erfuellt = (pn <= 1.5 * sn) ? \"yes\" : \"**no**\"; }
        if (ziel == \"2+0.1\" && q != \"-\") { zt = \"≤ 2 × + 0.1 s\"; erfuellt = (pn <= 2 * sn + 0.1) ? \"yes\" : \"**no**\"; }
        printf \"| %s | %s | %s | %s | %s | %s |\\n\", \"$2\", fs, fp, q, zt, erfuellt;
    "
}

verhaeltnis() { # store: the shipping window's fill over its engine answers, best figures
    local f=${wert[$1:step:shipping_fill]:-} m=${wert[$1:step:shipping_engine]:-}
    rechne "f = \"$f\"; m = \"$m\"; if (f == \"\" || m == \"\" || m + 0 == 0) print \"$1 -\";
            else printf \"$1 %.2f (%s)\", f / m, f <= 2 * m ? \"met\" : \"missed\""
}

pruefungen() {
    local n speicher fehl=""
    for n in first_build_equals_sql update_equals_sql facade_equals_sql window_equals_facade \
             shipping_window_equals_engine exports_equal; do
        for speicher in SQLite PostgreSQL; do
            [[ ${wert[$speicher:check:$n]:-missing} == 0 ]] || fehl+=" $speicher:$n=${wert[$speicher:check:$n]:-missing}"
        done
    done
    if [[ -z $fehl ]]; then
        echo "all equal in every round on both stores (whole-day net = SQL sums to the cent, the update's day = SQL, facade = SQL, window = facade, shipping window = its engine answers, every export of the batch runs the same)"
    else
        echo "**FAILED:**$fehl"
    fi
}

fenstertage=$(( tage < 365 ? tage : 365 ))
{
    echo
    echo "Both stores, $(date +%F), $filialen branches × $tage days (window: $anzeige days shown), best of $runden alternating rounds, PostgreSQL ${pgversion:-?}; load average $last_start at the start, $last_ende at the end; $stand"
    echo
    echo "| step | SQLite | PostgreSQL | ratio | target | met |"
    echo "|---|---|---|---|---|---|"
    zeile first_build "statistics, first build over $tage days" 1.5
    zeile update "statistics, update after one new day" 1.5
    zeile facade_first "facade, $fenstertage days × 3 prior years, first pass" 1.5
    zeile facade_again "facade, the same again (best of two)" 1.5
    zeile window_open "sales window, opening (best of three)" 1.5
    zeile window_fill "sales window, filling $anzeige days × 2 prior years (best of three)" 1.5
    zeile shipping_fill "shipping window, filling the shipping branches' $anzeige days (best of three)" 1.5
    zeile batch_first "batch run, first (first build + export)" 1.5
    zeile batch_second "batch run, second (up to date + export)" 2+0.1
    zeile installation "for information: demo generator in bench_statistik" ""
    zeile sql_per_branch_day "for information: SQL sums per branch and day (faster statement)" ""
    zeile facade_sql "for information: SQL of the facade's days (faster way)" ""
    zeile window_facade "for information: the window's facade loop (best of three)" ""
    zeile shipping_engine "for information: the shipping window's engine answers (best of three)" ""
    zeile shipping_statistics "for information: bench_versandfenster's shipping statistics build over $anzeige days" ""
    zeile window_statistics "for information: bench_umsatzfenster's statistics build" ""
    zeile demo "for information: quendrix-demo for the batch runs" ""
    echo
    echo "Shipping window / its engine answers (goal ≤ 2 on each store): $(verhaeltnis SQLite), $(verhaeltnis PostgreSQL)"
    echo "Server connections of the second batch run (connect() to port $pgport, strace): ${verbindungen:-n/a}"
    echo "PostgreSQL: VACUUM (ANALYZE) after each load, in no timed step (after quendrix-demo: ${wert[PostgreSQL:step:vacuum]:-?} s)"
    echo "Checks: $(pruefungen)"
    echo "Log (every round's figures in its \"-- round\" lines): $log"
} | tee -a "$log"
