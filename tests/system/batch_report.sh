#!/usr/bin/env bash
# A class's listings at once, as a teacher runs it: a folder of 30
# generated listings, errors among them, rendered with kuv-render --batch,
# and the report opened in headless Chromium: its page, its 30 pictures and
# its error count, and a screenshot to look at.
#   batch_report.sh PATH/TO/kuv-render OUTPUT_DIR
set -uo pipefail
render=$1
shots=$2
chromium=$(command -v chromium || true)
[ -n "$chromium" ] || { echo "SKIP: chromium is not installed"; exit 77; }
mkdir -p "$shots"
source "$(dirname "$0")/check.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/class"
for i in $(seq 1 30); do
    {
        printf 'REM 生徒 %d\r\n' "$i"
        printf 'BOX %d %d %d %d %d\r\n' $((10 + i * 5)) 40 $((200 + i * 10)) $((100 + i * 8)) $((i % 7))
        printf 'PAINT %d 50 %d %d\r\n' $((20 + i * 5)) $(((i + 3) % 7)) $((i % 7))
        printf 'CIRCLE 480 300 %d 4\r\n' $((20 + i * 3))
        [ $((i % 5)) = 0 ] && printf 'LINE 0 0 700 0 1\r\n'   # out of range: an error
        printf 'TEXT 20 460 0 ｸﾗｽ %d\r\n' "$i"
    } | iconv -f UTF-8 -t CP932 >"$scratch/class/student$(printf %02d "$i").kuv"  # listings are Shift_JIS
done
"$render" --batch "$scratch/out" "$scratch/class" 2>"$scratch/progress"
code=$?
check "the batch exits 1: some listings have errors (got $code)" [ "$code" = 1 ]
check "it wrote 30 pictures" [ "$(ls "$scratch/out"/*.png | wc -l)" = 30 ]

flags=(--headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking
       --disable-component-update --disable-sync --user-data-dir="$scratch/profile")
page="file://$scratch/out/index.html"
timeout 60 "$chromium" "${flags[@]}" --virtual-time-budget=5000 --dump-dom "$page" >"$scratch/dom.html" 2>/dev/null
check "Chromium shows 30 pictures" [ "$(grep -o '<img ' "$scratch/dom.html" | wc -l)" = 30 ]
check "and counts 6 listings with errors" grep -q 'エラー 6' "$scratch/dom.html"
check "and 24 clean ones" grep -q '正常 24' "$scratch/dom.html"
check "the error line is marked, the next line right below it" \
    grep -q '<mark>   5  LINE 0 0 700 0 1</mark>   6  TEXT' "$scratch/dom.html"
check "each thumbnail links to its picture" grep -q '<a href="student05.png"[^>]*><img src="student05.png"' "$scratch/dom.html"
timeout 60 "$chromium" "${flags[@]}" --window-size=1280,1600 --virtual-time-budget=5000 \
    --screenshot="$shots/batch-report.png" "$page" >/dev/null 2>&1
colours=$(identify -format '%k' "$shots/batch-report.png" 2>/dev/null || echo 0)
check "the screenshot shows the pictures ($colours colours): $shots/batch-report.png" [ "$colours" -gt 50 ]
timeout 60 "$chromium" "${flags[@]}" --window-size=390,844 --virtual-time-budget=5000 \
    --screenshot="$shots/batch-report-phone.png" "$page" >/dev/null 2>&1
check "a phone-sized screenshot: $shots/batch-report-phone.png" [ -s "$shots/batch-report-phone.png" ]

# The same class beside an answer (student 1's listing): each picture's
# match and mark in words, the first line that leaves the answer marked in
# its listing, and the difference picture one click away.
"$render" --batch "$scratch/checked" --answer "$scratch/class/student01.kuv" "$scratch/class" 2>/dev/null
code=$?
check "beside an answer the batch exits 1: most did not pass (got $code)" [ "$code" = 1 ]
page="file://$scratch/checked/index.html"
timeout 60 "$chromium" "${flags[@]}" --virtual-time-budget=5000 --dump-dom "$page" >"$scratch/checked.html" 2>/dev/null
check "the answer's own listing passes, in words" grep -q '○ 合格 一致 100.0%（違う点 0）' "$scratch/checked.html"
check "the others show their match and the line where they leave the answer" \
    grep -q '× 不合格 一致 [0-9.]*%（違う点 [0-9]*）　2行目から答えと違います' "$scratch/checked.html"
check "that line is marked in the listing" grep -q '<mark>   2  BOX ' "$scratch/checked.html"
check "the difference picture is one click away" grep -q '<a href="student02-diff.png">違いの絵</a>' "$scratch/checked.html"
check "and is a picture of the Picture's size" [ "$(identify -format '%wx%h' "$scratch/checked/student02-diff.png" 2>/dev/null)" = 641x481 ]
check "the counts of those that passed and did not" grep -q '合格 1</span><span id="not-passed">不合格 29' "$scratch/checked.html"
check "a switch shows only those that did not pass" grep -q 'id="only-failing"' "$scratch/checked.html"
timeout 60 "$chromium" "${flags[@]}" --window-size=1280,1600 --virtual-time-budget=5000 \
    --screenshot="$shots/batch-answer.png" "$page" >/dev/null 2>&1
check "a screenshot of the checked class: $shots/batch-answer.png" [ -s "$shots/batch-answer.png" ]
exit $((failures > 0))
