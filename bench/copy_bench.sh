#!/usr/bin/env bash
# The copy engine (morlanz_copy) against cp -a and rsync -a on one file system, warm cache.
# Usage: bench/copy_bench.sh [path to morlanz_copy] [work folder] [rounds]
#   L: 8 files of 128 MiB random data, into an empty folder
#   S: 20,000 files of 1-8 KiB in 200 folders, into an empty folder
#   R: S again into the existing copy after 5% of its files changed (overwrite mode)
# Smaller runs: L_FILES, L_MIB, S_FILES, S_DIRS in the environment.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$(readlink -f "${1:-$root/build/bin/morlanz_copy}")
base=${2:-${TMPDIR:-/tmp}}
rounds=${3:-5}
l_files=${L_FILES:-8} l_mib=${L_MIB:-128} s_files=${S_FILES:-20000} s_dirs=${S_DIRS:-200}

[[ -x $bin ]] || { echo "no morlanz_copy at $bin (cmake --build build --target morlanz_copy)" >&2; exit 2; }
if ! command -v rsync >/dev/null; then
    sudo=$([[ $(id -u) == 0 ]] || echo sudo)
    $sudo apt-get update -qq && $sudo apt-get install -y -qq rsync >/dev/null
fi
command -v python3 >/dev/null || { echo "python3 is needed to make the test data" >&2; exit 2; }

work=$(mktemp -d "$base/morlanz-copybench.XXXXXX")
trap 'rm -rf "$work"' EXIT
data=$work/data
mkdir -p "$data/L" "$work/times" "$work/trash"
echo "work folder $work ($(df -T "$work" | awk 'NR == 2 { print $2 }')), $rounds rounds" \
     "+ 1 warm-up, $(nproc) cores, rsync $(rsync --version | awk 'NR == 1 { print $3 }')," \
     "$(cp --version | head -1)"

# --- data -------------------------------------------------------------------------------------
for i in $(seq 1 "$l_files"); do head -c "${l_mib}M" /dev/urandom > "$data/L/file$i.bin"; done
python3 - "$data" "$s_files" "$s_dirs" <<'PY'
import os, random, sys
data, files, dirs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rnd = random.Random(7)
for n in range(files):
    d = os.path.join(data, "S", "ordner%03d" % (n % dirs))
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "datei%05d.txt" % n), "wb") as f:
        f.write(rnd.randbytes(rnd.randint(1024, 8192)))
# R's source: S with every 20th file rewritten (new size and bytes, a later time).
os.makedirs(os.path.join(data, "new"))
os.system("cp -a '%s' '%s'" % (os.path.join(data, "S"), os.path.join(data, "new", "S")))
for n in range(0, files, 20):
    p = os.path.join(data, "new", "S", "ordner%03d" % (n % dirs), "datei%05d.txt" % n)
    with open(p, "wb") as f:
        f.write(rnd.randbytes(rnd.randint(1024, 8192)))
    st = os.stat(p)
    os.utime(p, ns=(st.st_atime_ns, st.st_mtime_ns + 3600 * 10**9))
PY

# --- one timed run ----------------------------------------------------------------------------
# prepare <scenario> <target>: outside the timing. L and S get an empty folder; R the old copy.
# Trees of many files are moved aside, not deleted, until the end: ext4 makes creating files slow
# (tenfold here) near many just-deleted inodes, which would time the deletion, not the tool.
prepare() {
    if [[ $1 == L ]]; then
        rm -rf "$2"
    elif [[ -e $2 ]]; then
        mv "$2" "$work/trash/$(date +%s%N)"
    fi
    mkdir -p "$2"
    [[ $1 == R ]] && cp -a "$data/S" "$2/"
    settle
}

# sync, then wait (at most 20 s) until the kernel has written back what the previous tool left, so
# no tool pays for another's write-out (on a loop device a second flush of the backing file follows).
settle() {
    sync
    for _ in $(seq 200); do
        awk '/^(Dirty|Writeback):/ { kb += $2 } END { exit !(kb < 32768) }' /proc/meminfo && return
        sleep 0.1
    done
}

# warm <scenario> <target>: every tool starts from the same memory: as root, the page cache is
# emptied (the last tools' copies and trees fill it, and reclaiming it mid-run would be timed), then
# the source's data and metadata and the target's metadata are read back in.
warm() {
    local src=$data/$1
    [[ $1 == R ]] && src=$data/new/S
    if [[ $(id -u) == 0 ]]; then
        echo 3 > /proc/sys/vm/drop_caches
    fi
    find "$src" -type f -print0 | xargs -0 cat > /dev/null
    find "$src" "$2" -printf '%s %T@\n' > /dev/null
}

# timed <scenario> <tool> <target>: prints milliseconds.
timed() {
    local scen=$1 tool=$2 tgt=$3 src start end
    src=$data/$scen
    [[ $scen == R ]] && src=$data/new/S
    start=$(date +%s%N)
    case $scen/$tool in
        [LS]/cp) cp -a "$src" "$tgt/" ;;
        [LS]/rsync) rsync -a "$src" "$tgt/" ;;
        [LS]/ours) "$bin" "$src" "$tgt" --keep ;;
        R/cp) cp -a "$src/." "$tgt/S/" ;;
        R/rsync) rsync -a "$src/" "$tgt/S/" ;;
        R/ours) "$bin" "$src" "$tgt" --overwrite ;;
    esac
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

failures=0
# Folder times to the second only: rsync leaves a folder's time alone when it matches to the second.
listing() { (cd "$1" && find . -printf '%y %m %T@ %P\n' | awk '$1 == "d" { sub(/\.[0-9]*$/, "", $3) } 1' | sort); }
# check <scenario> <tool> <target>: same bytes, modes and times as the source, outside the timing.
check() {
    local src=$data/$1 name=$1
    [[ $1 == R ]] && src=$data/new/S name=S
    if ! diff -rq "$src" "$3/$name" >/dev/null || ! diff -q <(listing "$src") <(listing "$3/$name") >/dev/null; then
        echo "  WRONG COPY: $1 by $2 differs from its source" >&2
        failures=$((failures + 1))
    fi
}

tools=(cp rsync ours)
for scen in L S R; do
    for round in $(seq 0 "$rounds"); do # round 0 warms the cache and is not counted
        for k in 0 1 2; do
            tool=${tools[(round + k) % 3]}
            tgt=$work/target-$tool
            prepare "$scen" "$tgt"
            warm "$scen" "$tgt"
            ms=$(timed "$scen" "$tool" "$tgt")
            check "$scen" "$tool" "$tgt"
            ((round > 0)) && echo "$ms" >> "$work/times/$scen.$tool"
            printf '%s %s%s %d ms\n' "$scen" "$tool" "$( ((round > 0)) || echo ' (warm-up)')" "$ms"
        done
    done
    for tool in "${tools[@]}"; do prepare "$scen" "$work/target-$tool"; done
done

# --- table ------------------------------------------------------------------------------------
# stats: median, min and max of the numbers on standard input.
stats() { sort -g | awk '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%s %s %s\n", m, v[1], v[NR] }'; }
echo
printf '%-9s %10s %10s %10s  %-26s %-26s\n' scenario "cp -a" "rsync -a" morlanz "morlanz/cp" "morlanz/rsync"
printf '%-9s %10s %10s %10s  %-26s %-26s\n' "" "median s" "median s" "median s" "median (min-max)" "median (min-max)"
verdict=met
for scen in L S R; do
    declare -A med=() range=()
    for tool in "${tools[@]}"; do
        read -r m lo hi < <(stats < "$work/times/$scen.$tool")
        med[$tool]=$(awk -v v="$m" 'BEGIN { printf "%.3f", v / 1000 }')
        range[$tool]=$(awk -v a="$lo" -v b="$hi" 'BEGIN { printf "%.3f-%.3f", a / 1000, b / 1000 }')
    done
    read -r rc rclo rchi < <(paste "$work/times/$scen.ours" "$work/times/$scen.cp" | awk '{ print $1 / $2 }' | stats)
    read -r rr rrlo rrhi < <(paste "$work/times/$scen.ours" "$work/times/$scen.rsync" | awk '{ print $1 / $2 }' | stats)
    printf '%-9s %10s %10s %10s  %-26s %-26s\n' "$scen" "${med[cp]}" "${med[rsync]}" "${med[ours]}" \
        "$(printf '%.2fx (%.2f-%.2f)' "$rc" "$rclo" "$rchi")" "$(printf '%.2fx (%.2f-%.2f)' "$rr" "$rrlo" "$rrhi")"
    printf '%-9s %10s %10s %10s\n' "  min-max" "${range[cp]}" "${range[rsync]}" "${range[ours]}"
    if [[ $scen != R ]] && awk -v r="$rc" 'BEGIN { exit !(r > 1.0) }'; then
        echo "  OVER: $scen takes longer than cp -a (target at most 1.0x)"
        verdict=missed
    fi
    if awk -v r="$rr" 'BEGIN { exit !(r >= 1.0) }'; then
        echo "  OVER: $scen is not faster than rsync -a"
        verdict=missed
    fi
done
echo
echo "L: $l_files x $l_mib MiB; S: $s_files files of 1-8 KiB in $s_dirs folders; R: S after 5% changed"
echo "targets (at most 1.0x cp -a on L and S, faster than rsync -a on all three): $verdict"
((failures == 0)) || { echo "$failures wrong copies" >&2; exit 1; }
[[ $verdict == met ]] || exit 3
