#!/usr/bin/env bash
# Rebuilds the seed corpora in fuzz/corpus from the example programs and the
# golden cases' inputs. Each target reads its parameters from the first bytes
# of an input (see its LLVMFuzzerTestOneInput); the headers here choose
# ordinary values, so that the seeds start as the programs the shop runs.
set -euo pipefail
cd "$(dirname "$0")"

programs() { ls ../examples/*."$1" ../tests/golden/*/*."$1" 2>/dev/null | sort; }
# A golden case's input named by its case: convert-pocket-pocket.ptp.
name() { echo "$(basename "$(dirname "$1")")-$(basename "$1")"; }

# seed TARGET NAME HEADER FILE: the header (printf escapes), then the file.
seed() {
  mkdir -p "corpus/$1"
  { printf "$3"; head -c 4096 "$4"; } >"corpus/$1/$2"
}

rm -rf corpus
for file in $(programs up); do
  # tidy, chunk seed; speed limit 100, FeedMax 1200, acceleration 50
  seed uptoup "$(name "$file")" '\001\007\000\000\000\144\000\000\004\257\000\000\000\061' "$file"
  # tidy; speed limit 100, FeedMax 1200, acceleration 50
  seed verify "$(name "$file")" '\001\000\000\000\143\000\000\004\257\000\000\000\061' "$file"
  # chunk seed, ordinary range; acceleration 50
  seed timecount "$(name "$file")" '\005\000\000\000\000\061' "$file"
  # chunk seed; FeedMax 1200
  seed formatcheck "$(name "$file")" '\003\000\000\004\257' "$file"
  # tidy, chunk seed; working limit 200 bytes, FeedMax 1200
  seed split "$(name "$file")" '\001\007\000\000\001\220\000\000\004\257' "$file"
  # working limit 600 bytes, a tape of 800
  seed tapefit "$(name "$file")" '\000\000\003\040' "$file"
  # feed codes, chunk seed, tolerance 0.001 mm
  seed toolpath "$(name "$file")" '\001\007\000' "$file"
done
for file in $(programs ptp); do
  for machine in 0 1 2 3 4; do
    # tidy, chunk seed; no changes to the preset of the machine
    seed ptp "$machine-$(name "$file")" "\\001\\011\\000\\00$machine" "$file"
  done
  seed formatcheck "$(name "$file")" '\003\000\000\004\257' "$file"
  # feeds in mm/min, chunk seed, tolerance 0.001 mm
  seed toolpath "$(name "$file")" '\000\007\000' "$file"
done
for file in $(programs nc); do
  for arcs in 0 1 2; do
    # quadrants, whole or chords; chunk seed
    seed gcode "$arcs-$(name "$file")" "\\00$arcs\\007" "$file"
  done
done
# One arc each: the arc mode, then the choices, two bytes each (see
# MakeArcProgram): all at their lowest, and spread over their ranges.
for arcs in 0 1 2; do
  mkdir -p corpus/arcs
  printf "\\00$arcs" >"corpus/arcs/$arcs-lowest"
  printf "\\00$arcs\\200\\000\\100\\000\\040\\000\\300\\000\\200\\000\\200\\000\\200\\000\\010\\000\\200\\000" >"corpus/arcs/$arcs-spread"
done
# Single lines, the word operations with the letter F, number 1 and value 0660.
sort -u ../examples/pocket.up ../examples/pocket.ptp | while IFS= read -r line; do
  mkdir -p corpus/words
  printf '\005\000\001\003\000\006\006\000%s\n' "$line" >"corpus/words/${line//[^A-Z0-9]/_}"
done
# Feeds 600 and the largest and smallest int, code 0660, then an F word.
for word in F0660 F0410 F4660 F0799 F0000 F12; do
  mkdir -p corpus/feedcode
  { printf '\000\000\000\002\130\000\000\000\000\000\000\002\224\377\377\377\377'
    printf '%s' "$word"; } >"corpus/feedcode/$word"
done
# One seed per content: several golden cases share their input.
for dir in corpus/*; do
  md5sum "$dir"/* | sort | awk 'seen[$1]++ { print $2 }' | xargs -r rm
done
