#!/usr/bin/env bash
# Writes where they fail for real: a full file system, device nodes, a FIFO,
# endless input and a memory limit. The full disk and the devices need root
# (a tmpfs mount and mknod in a private mount namespace, never the real
# /dev); without root that part is skipped (exit 77).
#   write_failures.sh disk|limits PATH/TO/kuv-render PATH/TO/shell_tests
set -uo pipefail
mode=$1
render=$2
shell_tests=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/check.sh"
same_bytes() { cmp -s "$1" "$2"; }
is_char_device() { [ -c "$1" ] && [ ! -L "$1" ]; }
write_error() { grep -q "ストリームへの書き込みエラー\." "$1"; }
only_these_files() {  # only_these_files DIR NAME...: no temporary file left behind
    local dir=$1
    shift
    [ "$(cd "$dir" && ls -A | sort | tr '\n' ' ')" = "$(printf '%s\n' "$@" | sort | tr '\n' ' ')" ]
}

listing="$here/../../samples/house.kuv"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if [ "$mode" = limits ]; then
    # Endless input ends at its first zero byte.
    check "/dev/zero as standard input ends at once with exit 0" \
        timeout 10 bash -c "'$render' - < /dev/zero"
    check "/dev/zero as the listing ends at once with exit 0" timeout 10 "$render" /dev/zero
    # Running out of memory is the program's message and exit 2, not an abort.
    head -c 300000000 /dev/zero | tr '\0' 'A' >"$scratch/big.kuv"
    (ulimit -v 400000; "$render" -l "$scratch/out.kuv" "$scratch/big.kuv") 2>"$scratch/err"
    code=$?
    check "a listing too big for the memory left exits 2 (got $code)" [ "$code" = 2 ]
    check "... with the out-of-memory message" grep -q "メモリストリームの拡大中にメモリが足りなくなりました\." "$scratch/err"
    check "... and writes no listing" [ ! -e "$scratch/out.kuv" ]
    exit $((failures > 0))
fi

if [ "$(id -u)" -ne 0 ] || ! unshare -m true 2>/dev/null; then
    echo "SKIP: the full-disk and device tests need root and a private mount namespace (unshare -m)"
    exit 77
fi
if [ -z "${KUV_IN_NAMESPACE:-}" ]; then
    KUV_IN_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi

disk="$scratch/disk"
mkdir "$disk"
mount -t tmpfs -o size=600k tmpfs "$disk" || { echo "SKIP: cannot mount a tmpfs"; exit 77; }
cp "$listing" "$disk/old.kuv"
"$render" -o "$disk/old.jpg" "$listing"
"$render" -o "$disk/old.png" "$listing"
cp "$disk/old.kuv" "$scratch/old.kuv"
cp "$disk/old.jpg" "$scratch/old.jpg"
cp "$disk/old.png" "$scratch/old.png"
dd if=/dev/zero of="$disk/filler" bs=4k 2>/dev/null
echo "the disk is full: $(df -k --output=avail "$disk" | tail -1 | tr -d ' ') KiB free"

# kuv-render on the full disk: small writes sit in buffers until the flush.
printf 'REM\r\nEND\r\n' >"$scratch/ok.kuv"
for target in old.kuv:-l old.jpg:-o old.png:-o; do
    name=${target%%:*}
    option=${target##*:}
    "$render" "$option" "$disk/$name" "$scratch/ok.kuv" 2>"$scratch/err"
    code=$?
    check "kuv-render $option onto a full disk ($name) exits 2 (got $code)" [ "$code" = 2 ]
    check "... reports the write error" write_error "$scratch/err"
    check "... and leaves $name byte for byte" same_bytes "$disk/$name" "$scratch/$name"
done
check "no temporary file is left on the full disk" only_these_files "$disk" old.kuv old.jpg old.png filler

# The desktop program's commands on the same full disk.
KUV_FULL_DISK="$disk" QT_QPA_PLATFORM=offscreen "$shell_tests" --gtest_filter='FullDisk*' --gtest_brief=1 \
    >"$scratch/shell.log" 2>&1
check "the desktop program's saves and exports on a full disk fail loudly and keep the old files" \
    grep -q "PASSED.* [1-9]" "$scratch/shell.log"
grep -E "FAILED|Failure|Expected|Which is|Value of" "$scratch/shell.log" | head -20
grep -q "SKIPPED" "$scratch/shell.log" && { echo "FAIL  the desktop tests were skipped"; failures=$((failures + 1)); }
check "still no temporary file on the full disk" only_these_files "$disk" old.kuv old.jpg old.png filler

# Device nodes and a FIFO of our own, on a disk with room.
rm "$disk/filler"
mknod "$disk/null" c 1 3
mknod "$disk/full" c 1 7
mknod "$disk/zero" c 1 5
mknod "$disk/null.kuv" c 1 3
mknod "$disk/null.jpg" c 1 3
mknod "$disk/null.bmp" c 1 3
mknod "$disk/full.kuv" c 1 7
mknod "$disk/full.jpg" c 1 7
ln -s "$disk/null" "$disk/link-to-null"
ln -s "$disk/null" "$disk/null.png"
for out in "-l $disk/null" "-l $disk/link-to-null" "-o $disk/null.png" "-o $disk/null --format bmp"; do
    # shellcheck disable=SC2086
    "$render" $out "$listing" 2>"$scratch/err"
    code=$?
    check "kuv-render $out exits 0 (got $code)" [ "$code" = 0 ]
done
both_links() { [ -L "$1" ] && [ -L "$2" ]; }
check "the null device is still a device" is_char_device "$disk/null"
check "the symlinks still point at it" both_links "$disk/link-to-null" "$disk/null.png"
"$render" -l "$disk/full" "$listing" 2>"$scratch/err"
code=$?
check "kuv-render -l onto the full device exits 2 (got $code)" [ "$code" = 2 ]
check "... reports the write error" write_error "$scratch/err"
check "... and the device stays a device" is_char_device "$disk/full"
"$render" -l - "$listing" >"$disk/full" 2>"$scratch/err"
code=$?
check "kuv-render -l - with standard output on the full device exits 2 (got $code)" [ "$code" = 2 ]
check "... reports the write error" write_error "$scratch/err"
check "kuv-render reads the zero device as an empty listing" timeout 10 "$render" "$disk/zero"
mkfifo "$disk/fifo"
timeout 10 cat "$disk/fifo" >"$scratch/from-fifo" &
reader=$!
timeout 10 "$render" -l "$disk/fifo" "$listing"
code=$?
wait $reader
check "kuv-render -l into a FIFO exits 0 (got $code)" [ "$code" = 0 ]
check "... the reader gets the listing" [ "$(wc -c <"$scratch/from-fifo")" -gt 100 ]
check "... and the FIFO stays a FIFO" [ -p "$disk/fifo" ]
"$render" -l - "$listing" >"$scratch/stdout.kuv"
"$render" -l "$scratch/file.kuv" "$listing"
check "-l - writes the listing to standard output" same_bytes "$scratch/stdout.kuv" "$scratch/file.kuv"
"$render" -o - --format bmp "$listing" >"$scratch/stdout.bmp"
"$render" -o "$scratch/file.bmp" "$listing"
check "-o - --format bmp writes the BMP file to standard output" same_bytes "$scratch/stdout.bmp" "$scratch/file.bmp"

KUV_DEVICES="$disk" QT_QPA_PLATFORM=offscreen "$shell_tests" --gtest_filter='Devices*' --gtest_brief=1 \
    >"$scratch/shell.log" 2>&1
check "the desktop program's Save As and exports write devices in place" grep -q "PASSED.* [1-9]" "$scratch/shell.log"
grep -E "FAILED|Failure|Expected|Which is|Value of" "$scratch/shell.log" | head -20
umount "$disk"
exit $((failures > 0))
