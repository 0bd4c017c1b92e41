#!/bin/bash
# Joins recordings of adjacent ranges of the flight, made by tools/record, into one file without
# re-encoding: ffmpeg's concat demuxer copies their streams one after another.
#   join.sh OUT PART...     (the parts in the flight's order, each range starting where the last one ended)
set -eu
if [ $# -lt 2 ]; then
    echo "usage: join.sh OUT PART..." >&2
    exit 2
fi
out=$1
shift
list=$(mktemp)
trap 'rm -f "$list"' EXIT
for part in "$@"; do
    # A part lasts as long as its picture. Its sound runs on to the next AAC frame boundary, where the next
    # part's sound begins; "inpoint 0" places it by its own time 0, not by its earliest sound (the first
    # part's sound starts before 0, by the encoder's delay).
    duration=$(ffprobe -v error -select_streams v:0 -show_entries stream=duration -of csv=p=0 "$part")
    path=$(realpath "$part")
    printf "file '%s'\ninpoint 0\nduration %s\n" "${path//\'/\'\\\'\'}" "$duration" >>"$list"
done
# A movie time scale in which a sound sample and a frame are whole numbers, as the parts have.
rate=$(ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0 "$1")
fps=${rate%/1}
a=44100 b=$fps
while [ "$b" -ne 0 ]; do
    set -- "$b" $((a % b))
    a=$1 b=$2
done
# -copyts keeps the sound that starts before 0 there, to be skipped as the encoder's delay.
ffmpeg -v error -f concat -safe 0 -i "$list" -c copy -copyts -movie_timescale $((44100 * fps / a)) \
    -movflags +faststart -y "$out"
